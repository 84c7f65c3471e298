#include "discovery/Discovery.h"

#include "log/DiagLog.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

#include <ostream>
#include <string>
#include <vector>

using namespace logtexts;
using namespace testfiles;

namespace {

class ZofixaPathTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        REQUIRE_DRIVES(L"abefg");
    }
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
    EXPECT_TRUE(ReadBytes(kLogFile).empty());  // the test itself logs nothing
}

// One way of choosing the product directory: the installed products, the
// setup file (none when empty), and what must be chosen and logged.
struct Choice {
    const char* name;
    std::vector<std::wstring> products;
    std::string setupFile;
    std::wstring expected;
    std::string logEntry;
};

// Names the case in test listings instead of a dump of its bytes.
void PrintTo(const Choice& choice, std::ostream* os)
{
    *os << choice.name;
}

class ZofixaChoiceTest : public ZofixaPathTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(ZofixaChoiceTest, ChoosesAndLogsOnce)
{
    const Choice& choice = GetParam();
    for (const std::wstring& product : choice.products) {
        MakeProduct(product);
    }
    if (!choice.setupFile.empty()) {
        WriteSetupFile(choice.setupFile);
    }

    EXPECT_EQ(FindZofixaPath(), choice.expected);
    EXPECT_EQ(ReadBytes(kLogFile), LogOf(choice.logEntry));
}

INSTANTIATE_TEST_SUITE_P(
    Setup, ZofixaChoiceTest,
    ::testing::Values(Choice{"ValueGetsOneBackslashAndWins",
                             {L"E:\\Zof\\My Product\\", L"F:\\Zof\\ZOFIXA\\"},
                             "[ZOFIXA]\r\nPATH=E:\\Zof\\My Product\r\n",
                             L"E:\\Zof\\My Product\\",
                             Utf8(kSucc1)},
                      // Windows and Wine both collapse the doubled backslash when probing.
                      Choice{"ValueKeepsAllItsTrailingBackslashes",
                             {L"E:\\Zof\\P\\"},
                             "[ZOFIXA]\r\nPATH=E:\\Zof\\P\\\\\r\n",
                             L"E:\\Zof\\P\\\\",
                             Utf8(kSucc1)},
                      Choice{"MissingFileValidatesTheDefault",
                             {kDefaultZofixaPath},
                             "",
                             L"C:\\Zof\\ZOFIXA\\",
                             Utf8(kSucc1)},
                      Choice{"EmptyValueGoesStraightToTheSearch",
                             {kDefaultZofixaPath},
                             "[ZOFIXA]\r\nPATH=\r\n",
                             L"C:\\Zof\\ZOFIXA\\",
                             Utf8(kSucc2)},
                      Choice{"FailedValueIsNotRetriedOnOtherDrives",
                             {L"F:\\Zof\\Tools\\"},
                             "[ZOFIXA]\r\nPATH=E:\\Zof\\Tools\r\n",
                             L"C:\\Zof\\ZOFIXA\\",
                             Utf8(kCom)}),
    [](const ::testing::TestParamInfo<Choice>& info) { return std::string(info.param.name); });

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
    EXPECT_EQ(ReadBytes(kLogFile), LogOf(Utf8(kSucc2)));
}

TEST_F(ZofixaPathTest, NothingFoundGivesTheDefaultEvenIfMissing)
{
    MakeDirs(L"E:\\Zof\\ZOFIXA\\Halvo.dll");  // one marker only
    EXPECT_EQ(FindZofixaPath(), L"C:\\Zof\\ZOFIXA\\");
    EXPECT_FALSE(Exists(L"C:\\Zof\\ZOFIXA"));
    EXPECT_EQ(ReadBytes(kLogFile), LogOf(Utf8(kCom)));
}

}  // namespace
