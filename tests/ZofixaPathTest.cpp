#include "discovery/Discovery.h"

#include "log/DiagLog.h"
#include "support/TestFiles.h"

using namespace testfiles;

namespace {

class ZofixaPathTest : public SandboxTest {
protected:
    static std::string LogOf(const std::string& entry0) { return "[LOG]\r\n0=" + entry0 + "\r\n"; }
};

TEST_F(ZofixaPathTest, BothMarkersMakeTheProductDirectory)
{
    EXPECT_FALSE(IsZofixaPath(L""));
    const std::wstring dir = L"E:\\Zof\\Only\\";
    Touch(dir + L"Halvo.dll");
    EXPECT_FALSE(IsZofixaPath(dir));
    DeleteFileW((dir + L"Halvo.dll").c_str());
    Touch(dir + L"Murtelan.dll");
    EXPECT_FALSE(IsZofixaPath(dir));

    // Any file system object counts, a directory as well as a file.
    MakeDirs(dir + L"Halvo.dll");
    EXPECT_TRUE(IsZofixaPath(dir));
    EXPECT_TRUE(ReadBytes(kLogFilePath).empty());  // the test itself logs nothing
}

TEST_F(ZofixaPathTest, SetupValueGetsOneBackslashAndWins)
{
    MakeProduct(L"E:\\Zof\\My Product\\");
    MakeProduct(L"F:\\Zof\\ZOFIXA\\");
    WriteSetupFile("[ZOFIXA]\r\nPATH=E:\\Zof\\My Product\r\n");

    EXPECT_EQ(FindZofixaPath(), L"E:\\Zof\\My Product\\");
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("IsZofixaPath succ[1]!"));
}

TEST_F(ZofixaPathTest, SetupValueKeepsAllItsTrailingBackslashes)
{
    MakeProduct(L"E:\\Zof\\P\\");
    WriteSetupFile("[ZOFIXA]\r\nPATH=E:\\Zof\\P\\\\\r\n");

    // Windows and Wine both collapse the doubled backslash when probing.
    EXPECT_EQ(FindZofixaPath(), L"E:\\Zof\\P\\\\");
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("IsZofixaPath succ[1]!"));
}

TEST_F(ZofixaPathTest, MissingSetupFileValidatesTheDefault)
{
    MakeProduct(kDefaultZofixaPath);
    EXPECT_EQ(FindZofixaPath(), L"C:\\Zof\\ZOFIXA\\");
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("IsZofixaPath succ[1]!"));
}

TEST_F(ZofixaPathTest, EmptySetupValueGoesStraightToTheSearch)
{
    MakeProduct(kDefaultZofixaPath);
    WriteSetupFile("[ZOFIXA]\r\nPATH=\r\n");
    EXPECT_EQ(FindZofixaPath(), L"C:\\Zof\\ZOFIXA\\");
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("IsZofixaPath succ[2]!"));
}

TEST_F(ZofixaPathTest, SearchTakesTheFirstLetterAndSkipsAnEmptyDrive)
{
    // A: and B: are never probed; D: has no medium and must fail quietly
    // and at once.
    MakeProduct(L"A:\\Zof\\ZOFIXA\\");
    MakeProduct(L"B:\\Zof\\ZOFIXA\\");
    MakeProduct(L"G:\\Zof\\ZOFIXA\\");
    MakeProduct(L"F:\\Zof\\ZOFIXA\\");
    WriteSetupFile("[ZOFIXA]\r\nPATH=E:\\Nowhere\r\n");

    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(FindZofixaPath(), L"F:\\Zof\\ZOFIXA\\");
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("IsZofixaPath succ[2]!"));
}

TEST_F(ZofixaPathTest, FailedSetupValueIsNotRetriedOnOtherDrives)
{
    MakeProduct(L"F:\\Zof\\Tools\\");
    WriteSetupFile("[ZOFIXA]\r\nPATH=E:\\Zof\\Tools\r\n");

    EXPECT_EQ(FindZofixaPath(), L"C:\\Zof\\ZOFIXA\\");
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("GetZofixaPath com!"));
}

TEST_F(ZofixaPathTest, NothingFoundGivesTheDefaultEvenIfMissing)
{
    MakeDirs(L"E:\\Zof\\ZOFIXA\\Halvo.dll");  // one marker only
    EXPECT_EQ(FindZofixaPath(), L"C:\\Zof\\ZOFIXA\\");
    EXPECT_FALSE(Exists(L"C:\\Zof\\ZOFIXA"));
    EXPECT_EQ(ReadBytes(kLogFilePath), LogOf("GetZofixaPath com!"));
}

}  // namespace
