#include "log/DiagLog.h"

#include "support/LogTexts.h"
#include "support/TestFiles.h"

using namespace logtexts;
using namespace testfiles;

namespace {

class DiagLogTest : public SandboxTest {};

TEST_F(DiagLogTest, EverySectionNamedLogGoesHoweverManyAndWhateverTheCase)
{
    // Files edited by hand or by other tools do get a section twice; one
    // removal takes only the first of them.
    WriteBytes(kLogFile,
               "[LOG]\r\n0=a\r\n[OTHER]\r\nkeep=me\r\n[LOG]\r\n0=old zero\r\n1=old one\r\n"
               "2=old two\r\n[log]\r\n3=old three\r\n[MORE]\r\nx=y\r\n[Log]\r\n4=old four\r\n");
    WriteLog(L"GetRegManPath no exists, path=C:\\Ixa Manage\\Quentabrix.exe");

    EXPECT_EQ(ReadBytes(kLogFile),
              "[OTHER]\r\nkeep=me\r\n[MORE]\r\nx=y\r\n"
              "[LOG]\r\n0=GetRegManPath no exists, path=C:\\Ixa Manage\\Quentabrix.exe\r\n");
}

TEST_F(DiagLogTest, FailedWriteIsSilentAndStillUsesItsNumber)
{
    // A directory in the log's place makes every write fail.
    MakeDirs(kLogFile);
    WriteLog(L"lost");
    RemoveDirectoryW(kLogFile.c_str());

    WriteLog(L"kept");
    EXPECT_EQ(ReadBytes(kLogFile), "[LOG]\r\n1=kept\r\n");
}

}  // namespace
