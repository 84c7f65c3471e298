// The one test program's start: what it promises a machine is the pack's
// README's; exit code 0 only when nothing failed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "E2eTest.h"
#include "Fixture.h"
#include "Journal.h"
#include "ProgramRun.h"
#include "support/LogTexts.h"
#include "support/Machine.h"
#include "support/TestFiles.h"
#include "support/Utf8.h"

using testfiles::Exists;

namespace {

void Say(const std::string& csLine)
{
    std::printf("UnzipLauncherTests: %s\n", csLine.c_str());
    std::fflush(stdout);
}

bool HasFlag(int argc, char** argv, const char* pszFlag)
{
    return std::any_of(argv + 1, argv + argc,
                       [pszFlag](const char* psz) { return std::strcmp(psz, pszFlag) == 0; });
}

// Why the tests must not change this machine, or empty. c:\log.ini is set
// aside instead.
std::wstring GuardProblem()
{
    for (const std::wstring& csPath : testfiles::CasePaths()) {
        if (csPath != logtexts::kLogFile && Exists(csPath)) {
            return csPath + L" exists, and the tests would remove it" +
                   (testfiles::IsProductPlace(csPath) ? L": is the product installed?" : L"");
        }
    }
    return std::wstring();
}

// Without a display (Wine with no X server) no window can be made, and the
// cases' check for windows would see none whatever the launcher did.
std::wstring DisplayProblem()
{
    const HWND hWnd = CreateWindowExW(0, L"STATIC", L"UnzipLauncherTests display check",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hWnd == nullptr) {
        return L"no window can be made here (error " + std::to_wstring(GetLastError()) +
               L"): without a display no case could see a window";
    }
    const std::wstring csFound = FindVisibleWindow({GetCurrentProcessId()});
    DestroyWindow(hWnd);
    return csFound.empty() ? L"a window of its own was made but not found visible" : L"";
}

// A window of this program's own, shown by the launcher's code that a unit
// test calls, fails the running test and is closed, so that nothing waits
// for it to be answered.
DWORD WINAPI WatchOwnWindows(LPVOID)
{
    for (;;) {
        Sleep(50);
        HWND hWnd = nullptr;
        const std::wstring csWindow = FindVisibleWindow({GetCurrentProcessId()}, &hWnd);
        if (hWnd != nullptr) {
            ADD_FAILURE() << "a visible window of the launcher's code: " << Utf8(csWindow);
            PostMessageW(hWnd, WM_CLOSE, 0, 0);
            Sleep(1000);
        }
    }
}

// Removes what the tests created (the guard proved all of it absent before
// the journal was begun), then undoes the journal.
bool Restore(CJournal& journal)
{
    std::vector<std::wstring> report;
    bool bRemoved = true;
    // c:\log.ini is the journal's to restore.
    for (const std::wstring& csPath : testfiles::CasePaths()) {
        if (csPath != logtexts::kLogFile && Exists(csPath)) {
            const bool bGone = testfiles::RemoveTree(csPath);
            report.push_back((bGone ? L"removed " : L"could not remove ") + csPath);
            bRemoved = bRemoved && bGone;
        }
    }
    const bool bRestored = bRemoved && journal.Restore(report);
    for (const std::wstring& csLine : report) {
        Say("restore: " + Utf8(csLine));
    }
    if (!bRestored) {
        Say("could not restore everything; the journal stays: " + Utf8(journal.GetPath()));
    }
    return bRestored;
}

// "Suite.Name: reason" of each skipped test.
std::vector<std::string> Skips()
{
    std::vector<std::string> skips;
    const testing::UnitTest& tests = *testing::UnitTest::GetInstance();
    for (int i = 0; i < tests.total_test_suite_count(); ++i) {
        const testing::TestSuite& suite = *tests.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); ++j) {
            const testing::TestInfo& test = *suite.GetTestInfo(j);
            if (!test.result()->Skipped()) {
                continue;
            }
            std::string csReason;
            for (int k = 0; k < test.result()->total_part_count(); ++k) {
                csReason += test.result()->GetTestPartResult(k).message();
            }
            skips.push_back(std::string(suite.name()) + "." + test.name() + ": " + csReason);
        }
    }
    return skips;
}

// Writes past a protected local array, through a pointer the compiler
// cannot see through; the guard must end the process before it returns.
__attribute__((noinline)) void OverrunLocalBuffer(size_t cch)
{
    char buffer[8] = {};
    volatile char* volatile pszBuffer = buffer;
    for (size_t i = 0; i < cch; ++i) {
        pszBuffer[i] = 'x';
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // StackGuardTest's child: it must not get past the overrun.
    if (GetEnvironmentVariableW(L"UL_TEST_OVERRUN", nullptr, 0) != 0) {
        OverrunLocalBuffer(64);
        return 0;
    }
    // Before the flags are read: GoogleTest sets its XML writer up then.
    GTEST_FLAG_SET(output, "xml:" + Utf8(testfiles::OwnDir() + L"test-results.xml"));
    testing::InitGoogleTest(&argc, argv);
    // A death test's child is this program again, started by a test that
    // passed the guard: it only runs its one statement.
    if (!GTEST_FLAG_GET(internal_run_death_test).empty() || GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (HasFlag(argc, argv, "--list-places")) {
        // What the guard refuses on, one per line, for the pack's README to
        // be checked against; changes nothing.
        for (const std::wstring& csPath : testfiles::CasePaths()) {
            std::printf("%s\n", Utf8(csPath).c_str());
        }
        return 0;
    }
    Say(machine::Describe());
    if (!HasFlag(argc, argv, "--test-machine")) {
        Say("not run: the tests write the system directory's IxaSetup.ini, c:\\log.ini and "
            "folders under C:\\; run them only on a test machine, with --test-machine");
        return 2;
    }
    if (!machine::IsWine() && !machine::IsElevated()) {
        Say("not run: not elevated; the tests write the system directory (run as administrator)");
        return 2;
    }
    // The tests' programs run from here, and no drive may ask for a medium.
    SetCurrentDirectoryW(testfiles::OwnDir().c_str());
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    CJournal journal(testfiles::OwnDir() + L"journal\\");
    if (journal.IsLeftOver()) {
        if (!journal.IsOwn()) {
            Say("not run: " + Utf8(journal.GetPath()) +
                " holds what this program did not put there");
            return 2;
        }
        Say("a run was killed before it restored this machine; restoring it first");
        if (!Restore(journal)) {
            return 2;
        }
    }
    const std::wstring csProblem = GuardProblem();
    if (!csProblem.empty()) {
        Say("not run: " + Utf8(csProblem));
        return 2;
    }
    if (HasFlag(argc, argv, "--sample-installation")) {
        // The demo's and the pytest harness's installation; nothing to restore.
        const e2e::Installation installed = e2e::InstallSample();
        return testing::Test::HasFailure() || !Exists(installed.csLauncher) ? 1 : 0;
    }
    const std::wstring csNoDisplay = DisplayProblem();
    if (!csNoDisplay.empty()) {
        Say("not run: " + Utf8(csNoDisplay));
        return 2;
    }

    if (!journal.Begin() || !journal.SetAsideLog()) {
        const DWORD dwError = GetLastError();
        Say("not run: could not make the journal " + Utf8(journal.GetPath()) +
            " or set c:\\log.ini aside in it (error " + std::to_string(dwError) + ")");
        Restore(journal);
        return 2;
    }
    if (testfiles::EmptyDrives().empty()) {
        const std::wstring csDrives = journal.DefineDrives();
        SetEnvironmentVariableW(L"UL_EMPTY_DRIVES", csDrives.c_str());
        Say(csDrives.empty() ? "no drive letter could be given files here: the tests that need one "
                               "are skipped"
                             : "drives for the tests: " + Utf8(csDrives));
    }
    // What every program the cases start gets, whatever a test sets later.
    CaptureEnvironment();
    const ScopedHandle watch(CreateThread(nullptr, 0, WatchOwnWindows, nullptr, 0, nullptr));

    const int nExitCode = RUN_ALL_TESTS();
    const bool bRestored = Restore(journal);
    for (const std::string& csSkip : Skips()) {
        Say("skipped " + csSkip);
    }
    const testing::UnitTest& tests = *testing::UnitTest::GetInstance();
    std::printf("%d passed, %d failed, %d skipped\n", tests.successful_test_count(),
                tests.failed_test_count(), tests.skipped_test_count());
    return nExitCode == 0 && bRestored ? 0 : 1;
}
