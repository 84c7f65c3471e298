#include "log/DiagLog.h"

#include "support/TestFiles.h"

using namespace testfiles;

namespace {

class DiagLogTest : public SandboxTest {};

TEST_F(DiagLogTest, NumbersEntriesFromZeroInSectionLog)
{
    WriteLog(L"IsZofixaPath succ[1]!");
    WriteLog(L"\"C:\\Zof\\ZOFIXA\\download\\sorvane\" \"D:\\pkg\\update.zip\"");

    EXPECT_EQ(ReadBytes(kLogFilePath),
              "[LOG]\r\n"
              "0=IsZofixaPath succ[1]!\r\n"
              "1=\"C:\\Zof\\ZOFIXA\\download\\sorvane\" \"D:\\pkg\\update.zip\"\r\n");
}

TEST_F(DiagLogTest, FirstEntryRemovesEveryEntryOfEarlierRunsAndNothingElse)
{
    WriteBytes(kLogFilePath,
               "[OTHER]\r\nkeep=1\r\n[LOG]\r\n0=a\r\n1=b\r\n2=c\r\n[MORE]\r\nx=y\r\n");
    WriteLog(L"GetZofixaPath com!");
    WriteLog(L"GetZofixaPath no exists, path=C:\\Zof\\ZOFIXA\\");

    EXPECT_EQ(ReadBytes(kLogFilePath),
              "[OTHER]\r\nkeep=1\r\n[MORE]\r\nx=y\r\n[LOG]\r\n0=GetZofixaPath com!\r\n"
              "1=GetZofixaPath no exists, path=C:\\Zof\\ZOFIXA\\\r\n");
}

TEST_F(DiagLogTest, FailedWriteIsSilentAndStillUsesItsNumber)
{
    // A directory in the log's place makes every write fail.
    MakeDirs(kLogFilePath);
    WriteLog(L"lost");
    RemoveDirectoryW(kLogFilePath);

    WriteLog(L"kept");
    EXPECT_EQ(ReadBytes(kLogFilePath), "[LOG]\r\n1=kept\r\n");
}

}  // namespace
