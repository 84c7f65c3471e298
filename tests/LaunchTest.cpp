#include "launcher/LaunchAndWait.h"

#include "pack/ProgramRun.h"
#include "support/LogTexts.h"
#include "support/Machine.h"
#include "support/TestFiles.h"

using namespace logtexts;
using namespace testfiles;

// What the exe's run shows as a whole (each way it stops, the typical run,
// no updater from a relative place) is asserted by the end-to-end suite;
// these tests hold what one run of the exe cannot show.
namespace {

const wchar_t kRecord[] = L"E:\\Zof\\record.txt";

// Runs the updater stand-in; it writes how it was started into kRecord.
class LaunchTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        REQUIRE_DRIVES(L"e");
        MakeDirs(L"E:\\Zof");
    }
};

TEST_F(LaunchTest, UpdaterThatCannotStartFailsQuietly)
{
    // Not a program: the shell must neither hang nor show a dialog.
    WriteBytes(L"E:\\Zof\\Mgr\\Quentabrix.exe", "not a program\r\n");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(GetOutcomeEntry(LaunchAndWait(L"E:\\Zof\\Mgr\\Quentabrix.exe", L"\"a\" \"b\"")),
              kShellFailed + std::to_wstring(machine::NotAProgramError()));
    EXPECT_EQ(GetOutcomeEntry(LaunchAndWait(L"E:\\Zof\\Mgr\\Missing.exe", L"\"a\" \"b\"")),
              kShellFailed + L"2");  // ERROR_FILE_NOT_FOUND
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST_F(LaunchTest, AWaitThatDoesNotSeeTheUpdaterEndSaysWhy)
{
    const CProgramRun updater(
        OwnDir() + L"FakeUpdater.exe", OwnDir(),
        {{L"FAKE_UPDATER_SLEEP_MS", L"3000"}, {L"FAKE_UPDATER_RECORD", kRecord}});
    ASSERT_EQ(updater.GetStartError(), 0u);
    EXPECT_EQ(GetOutcomeEntry(WaitForUpdater(updater.GetProcess(), 200)),
              L"WaitForSingleObject timeout;ms=200");
    // The stand-in's three seconds, with the test's own margin around them.
    EXPECT_EQ(GetOutcomeEntry(WaitForUpdater(updater.GetProcess(), machine::Slack(10000))), L"");

    // No handle at all: the wait itself fails.
    EXPECT_EQ(GetOutcomeEntry(WaitForUpdater(nullptr, 200)), kWaitFailed + L"6");
}

// What a replaced shell call was handed, and what it answers.
SHELLEXECUTEINFOW g_seiSeen = {};
BOOL WINAPI StartsNoProcess(SHELLEXECUTEINFOW* pSei)
{
    g_seiSeen = *pSei;
    pSei->hProcess = nullptr;  // handed to a process that was already running
    return TRUE;
}

TEST_F(LaunchTest, AStartWithoutAProcessIsNoStartAndTheRecordIsAsTheShellNeedsIt)
{
    const std::wstring file = L"C:\\Ixa Manage\\Quentabrix.exe";
    const std::wstring parameters = L"\"C:\\Zof\\download\\sorvane\" \"C:\\pkg\\update.zip\"";
    memset(&g_seiSeen, 0xA5, sizeof(g_seiSeen));
    EXPECT_EQ(GetOutcomeEntry(StartAndWait(&StartsNoProcess, file, parameters, 200)), kNoProcess);

    EXPECT_EQ(g_seiSeen.cbSize, 60u);    // the record's size on 32-bit Windows
    EXPECT_EQ(g_seiSeen.fMask, 0x440u);  // SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI
    EXPECT_EQ(g_seiSeen.hwnd, nullptr);
    EXPECT_EQ(g_seiSeen.lpVerb, nullptr);
    EXPECT_EQ(g_seiSeen.lpFile, file);
    EXPECT_EQ(g_seiSeen.lpParameters, parameters);
    EXPECT_EQ(g_seiSeen.lpDirectory, nullptr);  // the updater inherits ours
    EXPECT_EQ(g_seiSeen.nShow, SW_HIDE);
    EXPECT_EQ(g_seiSeen.lpIDList, nullptr);
    EXPECT_EQ(g_seiSeen.lpClass, nullptr);
    EXPECT_EQ(g_seiSeen.hkeyClass, nullptr);
}

}  // namespace
