#include "discovery/SetupFile.h"

#include "platform/StringQuery.h"
#include "support/TestFiles.h"

using namespace testfiles;

namespace {

class SetupFileTest : public SandboxTest {};

TEST_F(SetupFileTest, SystemDirectoryThatDoesNotFitIsAFailedCall)
{
    const std::wstring systemDir = SystemDir();
    const DWORD cch = static_cast<DWORD>(systemDir.size());

    EXPECT_EQ(QuerySystemDirectory(cch - 1), L"");
    EXPECT_EQ(QuerySystemDirectory(cch), L"");  // no room for the terminator
    EXPECT_EQ(QuerySystemDirectory(cch + 1), systemDir);

    EXPECT_EQ(SetupFilePath(cch), L"");
    EXPECT_EQ(SetupFilePath(cch + 1), systemDir + L"\\IxaSetup.ini");
}

TEST_F(SetupFileTest, ReaderCutsValuesToTheBuffer)
{
    const std::wstring file = SetupFile();
    const std::string longValue(5000, 'x');
    WriteSetupFile("[MANAGE]\r\nPATH=" + longValue + "\r\n");
    EXPECT_EQ(ReadSetupPath(file, L"MANAGE", L"", kLongBufferChars),
              std::wstring(kLongBufferChars - 1, L'x'));
    EXPECT_EQ(ReadSetupPath(file, L"MANAGE", L"", kShortBufferChars),
              std::wstring(kShortBufferChars - 1, L'x'));

    // One character less than the buffer fits exactly.
    WriteSetupFile("[ZOFIXA]\r\nPATH=" + std::string(kShortBufferChars - 1, 'y') + "\r\n");
    EXPECT_EQ(ReadSetupPath(file, L"ZOFIXA", L"", kShortBufferChars),
              std::wstring(kShortBufferChars - 1, L'y'));
}

}  // namespace
