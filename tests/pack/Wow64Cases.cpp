// The 32-bit launcher on 64-bit Windows (WoW64), with the 64-bit updater a
// current product may ship. Its reads of the system directory are redirected
// to SysWOW64, where a product's 32-bit installer writes the setup file too.
#include "E2eTest.h"
#include "support/Machine.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

class Wow64Cases : public E2eTest {
protected:
    void SetUp() override
    {
        if (!machine::IsWow64()) {
            GTEST_SKIP() << "needs 64-bit Windows (WoW64)";
        }
        E2eTest::SetUp();
    }
};

TEST_F(Wow64Cases, TypicalRunWithTheSetupFileInSysWow64)
{
    // This runner is 32-bit too: its system directory is SysWOW64.
    const Installation installed = Install(SystemDir(), kUpdater64);
    const ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
}

TEST_F(Wow64Cases, ASetupFileOnlyInTheNativeSystem32IsNotSeen)
{
    const Installation installed = Install(NativeSystemDir(), kUpdater64);
    const ProgramOutcome run = Run(installed.csLauncher);
    // As with no setup file: the management directory is "\", not absolute.
    CheckRun(run, LogBytes({kNoUpdater + L"\\" + kUpdater}));
}

TEST_F(Wow64Cases, WithSetupFilesInBothTheSysWow64OneDecides)
{
    const Installation installed = Install(SystemDir(), kUpdater64);
    PlaceUpdater(L"C:\\Zof\\64\\Manage", kUpdater64);
    MakeProduct(L"C:\\Zof\\64\\ZOFIXA\\");
    WriteSetup(L"C:\\Zof\\64\\Manage", L"C:\\Zof\\64\\ZOFIXA", NativeSystemDir());
    const ProgramOutcome run = Run(installed.csLauncher);
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
}

}  // namespace
}  // namespace e2e
