// Which DLLs the launcher loads, seen the same way on Windows and under Wine:
// through the debug API, each load's file named by its handle. What holds on
// both is asserted, not a whole module list (Wine's own DLLs live outside
// the system folder; security products inject DLLs on Windows).
#include "E2eTest.h"

#include <algorithm>

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

// SHELL32 and what it loads (under Wine 8, measured), planted under their
// names where a download would put them: none may ever be loaded from there.
const wchar_t* const kPlantedNames[] = {
    L"advapi32.dll", L"gdi32.dll",    L"imm32.dll",  L"sechost.dll", L"shcore.dll", L"shell32.dll",
    L"shlwapi.dll",  L"ucrtbase.dll", L"user32.dll", L"version.dll", L"win32u.dll", L"zlib1.dll"};

void ToLower(std::wstring& cs)
{
    CharLowerBuffW(&cs[0], static_cast<DWORD>(cs.size()));
}

class DllLoadCases : public E2eTest {
protected:
    // Plants the DLLs beside the launcher and in csCwd, runs the launcher
    // from csCwd under the debugger; returns the loads, in lower case.
    std::vector<std::wstring> RunPlanted(const Installation& installed, const std::wstring& csCwd,
                                         ProgramOutcome& outcome)
    {
        MakeDirs(csCwd);
        for (const std::wstring& csDir : {installed.csFolder, csCwd}) {
            for (const wchar_t* pszName : kPlantedNames) {
                EXPECT_TRUE(CopyFileW((OwnDir() + L"PlantedDll.dll").c_str(),
                                      (csDir + L"\\" + pszName).c_str(), FALSE));
            }
        }
        CProgramRun launch(installed.csLauncher, csCwd, {}, DEBUG_ONLY_THIS_PROCESS);
        EXPECT_EQ(launch.GetStartError(), 0u);
        std::vector<std::wstring> loads = launch.GetDllLoads(kRunLimitMs);
        std::for_each(loads.begin(), loads.end(), ToLower);
        outcome = launch.Finish(kRunLimitMs);
        return loads;
    }

    static bool IsLoadedFrom(const std::vector<std::wstring>& loads, std::wstring csDir)
    {
        ToLower(csDir);
        return std::any_of(loads.begin(), loads.end(), [&csDir](const std::wstring& csPath) {
            return csPath.rfind(csDir + L"\\", 0) == 0;
        });
    }

    static bool IsShellLoaded(const std::vector<std::wstring>& loads)
    {
        return std::any_of(loads.begin(), loads.end(), [](const std::wstring& csPath) {
            return csPath.size() >= 12 && csPath.substr(csPath.size() - 12) == L"\\shell32.dll";
        });
    }
};

TEST_F(DllLoadCases, TheEarlyStopLoadsNothingPlantedAndNoShell)
{
    const Installation installed = Install();
    RemoveUpdater(installed.csUpdater);
    ProgramOutcome run;
    const std::vector<std::wstring> loads =
        RunPlanted(installed, L"C:\\UnzipLauncher-tests\\work", run);
    CheckRun(run, LogBytes({kNoUpdater + installed.csUpdater}));
    ASSERT_FALSE(loads.empty()) << "the debugger saw no DLL load at all";
    EXPECT_FALSE(IsLoadedFrom(loads, installed.csFolder));
    EXPECT_FALSE(IsLoadedFrom(loads, L"C:\\UnzipLauncher-tests\\work"));
    EXPECT_FALSE(IsShellLoaded(loads));
}

TEST_F(DllLoadCases, TheTypicalRunLoadsTheShellFromTheSystemDirectoryOnly)
{
    const Installation installed = Install();
    ProgramOutcome run;
    const std::vector<std::wstring> loads =
        RunPlanted(installed, L"C:\\UnzipLauncher-tests\\work", run);
    Started started = installed.GetStarted();
    started.csCwd = L"C:\\UnzipLauncher-tests\\work";  // the updater inherits the launcher's
    CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), started);
    EXPECT_FALSE(IsLoadedFrom(loads, installed.csFolder));
    EXPECT_FALSE(IsLoadedFrom(loads, L"C:\\UnzipLauncher-tests\\work"));
    EXPECT_TRUE(IsShellLoaded(loads));
}

}  // namespace
}  // namespace e2e
