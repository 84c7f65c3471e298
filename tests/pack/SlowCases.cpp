// The two-minute bound: an updater still running is left running.
#include "E2eTest.h"
#include "support/Machine.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

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
