// The run from start to exit: the typical success, each way it stops, and
// the wait for the updater.
#include "E2eTest.h"
#include "support/Machine.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

class RunCases : public E2eTest {};

TEST_F(RunCases, TypicalRunStartsTheUpdaterHiddenAndLogsAfterItEnded)
{
    const Installation installed = Install();
    const ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
}

TEST_F(RunCases, DefaultProductDirectoryAndPackageOnAnotherDrive)
{
    REQUIRE_DRIVES(L"e");
    // No [ZOFIXA] section: the default C:\Zof\ZOFIXA is validated as it is.
    WriteSetup(L"C:\\UnzipLauncher-tests\\Mgr", std::nullopt);
    MakeProduct(kDefaultProduct);
    const std::wstring csUpdater = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
    const ProgramOutcome run = Run(PlaceLauncher(L"E:\\UnzipLauncher-tests\\pkg"));
    const std::wstring csDestination = kDefaultProduct + L"download\\sorvane";
    CheckRun(
        run,
        LogBytes({kSucc1, Parameters(csDestination, L"E:\\UnzipLauncher-tests\\pkg\\update.zip")}),
        Started{csUpdater, csDestination, L"E:\\UnzipLauncher-tests\\pkg\\update.zip",
                L"E:\\UnzipLauncher-tests\\pkg"});
}

TEST_F(RunCases, AMissingLocationStopsTheRunWithOneEntry)
{
    struct Missing {
        const char* what;
        std::vector<std::wstring> (*make)(E2eTest& test, const Installation& installed);
    };
    const Missing cases[] = {
        {"updater",
         [](E2eTest&, const Installation& installed) {
             DeleteFileW(installed.csUpdater.c_str());
             // The product directory is not even looked up.
             return std::vector<std::wstring>{kNoUpdater + installed.csUpdater};
         }},
        {"updater is a folder",
         [](E2eTest&, const Installation& installed) {
             // Opened, it would be a window and no start; it is no program.
             DeleteFileW(installed.csUpdater.c_str());
             MakeDirs(installed.csUpdater);
             return std::vector<std::wstring>{kNoUpdater + installed.csUpdater};
         }},
        {"product",
         [](E2eTest&, const Installation& installed) {
             DeleteFileW((installed.csProduct + L"Halvo.dll").c_str());
             DeleteFileW((installed.csProduct + L"Murtelan.dll").c_str());
             RemoveDirectoryW(installed.csProduct.c_str());
             return std::vector<std::wstring>{kCom, kNoProduct + kDefaultProduct};
         }},
        {"package",
         [](E2eTest&, const Installation& installed) {
             DeleteFileW(installed.csPackage.c_str());
             return std::vector<std::wstring>{kSucc1, kNoPackage + installed.csPackage};
         }},
    };
    for (const Missing& missing : cases) {
        SCOPED_TRACE(missing.what);
        const Installation installed = Install();
        const std::vector<std::wstring> entries = missing.make(*this, installed);
        const ProgramOutcome run = Run(installed.csLauncher);
        CheckRun(run, LogBytes(entries));
        EXPECT_LT(run.ullMs, machine::Slack(10000));
        NextRow();
    }
}

TEST_F(RunCases, AnUpdaterThatIsNoProgramFailsQuietlyAndTheLogSaysSo)
{
    const Installation installed = Install();
    WriteBytes(installed.csUpdater, "not a program\r\n");
    const ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters(),
                            kShellFailed + std::to_wstring(machine::NotAProgramError())}));
    EXPECT_LT(run.ullMs, machine::Slack(10000));
}

TEST_F(RunCases, TheUpdatersFailureNeverReachesTheExitCode)
{
    const Installation installed = Install();
    const ProgramOutcome failed = Run(installed.csLauncher, {{L"FAKE_UPDATER_EXIT_CODE", L"7"}});
    CheckRun(failed, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());

    const ProgramOutcome crashed = Run(installed.csLauncher, {{L"FAKE_UPDATER_CRASH", L"1"}});
    Started started = installed.GetStarted();
    started.bFinished = false;
    CheckRun(crashed, LogBytes({kSucc1, installed.GetParameters()}), started);
}

TEST_F(RunCases, TheLauncherWaitsForTheUpdaterBeforeTheParameterEntry)
{
    const Installation installed = Install();
    CProgramRun launch(installed.csLauncher, installed.csFolder,
                       {{L"FAKE_UPDATER_SLEEP_MS", L"3000"}});
    ASSERT_EQ(launch.GetStartError(), 0u);
    const ULONGLONG ullDeadline = GetTickCount64() + machine::Slack(30000);
    while (!Exists(RecordPath(installed.csUpdater)) && GetTickCount64() < ullDeadline) {
        Sleep(50);
    }
    ASSERT_TRUE(Exists(RecordPath(installed.csUpdater))) << "the updater never started";
    // The updater runs: the launcher waits and has not logged the parameters.
    Sleep(1000);
    EXPECT_TRUE(launch.IsRunning());
    EXPECT_EQ(ReadLog(), LogBytes({kSucc1}));
    const ProgramOutcome run = launch.Finish(kRunLimitMs);
    EXPECT_GE(run.ullMs, 3000u);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
}

}  // namespace
}  // namespace e2e
