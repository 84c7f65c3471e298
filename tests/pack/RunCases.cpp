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
    const Started started =
        StartedFrom(csUpdater, kDefaultProduct, L"E:\\UnzipLauncher-tests\\pkg");
    CheckRun(run, LogBytes({kSucc1, Parameters(started.csDestination, started.csPackage)}),
             started);
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

// The diagnostic log c:\log.ini: one run per log, other sections kept, the
// stale log.ini beside the launcher, and a log that cannot be written.
class LogCases : public E2eTest {};

const std::string kOtherSection = "[OTHER]\r\nkeep=1\r\n";

TEST_F(LogCases, EachRunReplacesEveryEntryOfEarlierRunsAndKeepsOtherSections)
{
    const Installation installed = Install();
    WriteBytes(kLogFile, LogBytes({L"old 0", L"old 1", L"old 2", L"old 3"}) + kOtherSection);

    ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}, kOtherSection),
             installed.GetStarted());

    RemoveUpdater(installed.csUpdater);
    run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kNoUpdater + installed.csUpdater}, kOtherSection));
}

TEST_F(LogCases, AStaleLogBesideTheLauncherIsDeleted)
{
    const Installation installed = Install();
    WriteBytes(installed.csFolder + L"\\log.ini", LogBytes({L"stale"}));
    const ProgramOutcome run = Run(installed.csLauncher);
    EXPECT_FALSE(Exists(installed.csFolder + L"\\log.ini"));
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
}

TEST_F(LogCases, FromTheRootOfCTheLogIsDeletedAndWrittenAnew)
{
    const Installation installed = Install();
    WriteBytes(kLogFile, LogBytes({L"old 0", L"old 1", L"old 2", L"old 3"}));
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\"));
    Started started = installed.GetStarted();
    started.csPackage = L"C:\\update.zip";
    started.csCwd = L"C:\\";
    CheckRun(run, LogBytes({kSucc1, Parameters(installed.csDestination, started.csPackage)}),
             started);
}

TEST_F(LogCases, ALogThatIsADirectoryChangesNothingElse)
{
    const Installation installed = Install();
    MakeDirs(kLogFile);
    const ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, std::nullopt, installed.GetStarted());
    EXPECT_NE(GetFileAttributesW(kLogFile.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(LogCases, AReadOnlyLogChangesNothingElse)
{
    const Installation installed = Install();
    const std::string kept = LogBytes({L"kept"});
    WriteBytes(kLogFile, kept);
    ASSERT_TRUE(SetFileAttributesW(kLogFile.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        // Windows refuses to open a read-only file for writing, also to an
        // administrator (CreateFile: ERROR_ACCESS_DENIED). Wine maps the
        // attribute to the Unix mode bits, which root does not heed.
        const ScopedHandle probe(CreateFileW(kLogFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        if (probe.IsValid()) {
            SetFileAttributesW(kLogFile.c_str(), FILE_ATTRIBUTE_NORMAL);
            GTEST_SKIP() << "a read-only file is writable here (Wine run as root)";
        }
    }
    const ProgramOutcome run = Run(installed.csLauncher);
    SetFileAttributesW(kLogFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    CheckRun(run, kept, installed.GetStarted());
}

// The two-minute bound: an updater still running is left running.
class SlowCases : public E2eTest {};

constexpr DWORD kWaitMs = 120000;

TEST_F(SlowCases, AnUpdaterStillRunningAfterTwoMinutesIsLeftRunning)
{
    const Installation installed = Install();
    // The updater ends five seconds after the launcher's wait has run out.
    CProgramRun launch(installed.csLauncher, installed.csFolder,
                       {{L"FAKE_UPDATER_SLEEP_MS", std::to_wstring(kWaitMs + 5000)}});
    ASSERT_EQ(launch.GetStartError(), 0u);
    const ProgramOutcome run = launch.Finish(kRunLimitMs);
    EXPECT_GE(run.ullMs, kWaitMs - 500);
    EXPECT_LE(run.ullMs, kWaitMs + machine::Slack(10000));
    Started started = installed.GetStarted();
    started.bFinished = false;
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters(), kWaitTimeout}), started);

    // Still the updater's job: it ends of itself, not with the launcher.
    const ULONGLONG ullDeadline = GetTickCount64() + machine::Slack(30000);
    while (ReadUpdaterRecord(RecordPath(installed.csUpdater)).count("finished") == 0) {
        ASSERT_LT(GetTickCount64(), ullDeadline) << "the updater was not left running";
        Sleep(200);
    }
}

}  // namespace
}  // namespace e2e
