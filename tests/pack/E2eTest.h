// One end-to-end case: an installation laid out with Win32 calls, the real
// UnzipLauncher.exe run on it, and the whole outcome asserted: exit code,
// standard output, windows, the exact c:\log.ini and what each updater
// stand-in recorded.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

namespace e2e {

inline const std::wstring kUpdater = L"Quentabrix.exe";
inline const std::wstring kUpdater32 = L"FakeUpdater.exe";
inline const std::wstring kUpdater64 = L"FakeUpdater64.exe";
inline const std::wstring kDefaultProduct = L"C:\\Zof\\ZOFIXA\\";

// No run may take longer than the launcher's own two-minute bound and this.
constexpr DWORD kRunLimitMs = 180000;

// How the launcher must have started an updater.
struct Started {
    std::wstring csUpdater;
    std::wstring csDestination;
    std::wstring csPackage;
    std::wstring csCwd;
    bool bFinished = true;
    // How the updater's command line names it, where that is not as the
    // launcher named it.
    std::wstring csStartedAs{};
};

// csUpdater started on csProduct's download folder with csFolder's update.zip,
// from csFolder.
inline Started StartedFrom(const std::wstring& csUpdater, const std::wstring& csProduct,
                           const std::wstring& csFolder)
{
    return {csUpdater, csProduct + L"download\\sorvane", csFolder + L"\\update.zip", csFolder};
}

// The sample installation of the fixture.
struct Installation {
    std::wstring csUpdater;  // Quentabrix.exe in the management directory
    std::wstring csProduct;  // with its trailing backslash
    std::wstring csFolder;   // where the launcher and update.zip lie
    std::wstring csLauncher;
    std::wstring csPackage;
    std::wstring csDestination;  // what the updater must receive first

    Started GetStarted() const { return {csUpdater, csDestination, csPackage, csFolder}; }
    std::wstring GetParameters() const { return logtexts::Parameters(csDestination, csPackage); }
};

class E2eTest : public testfiles::SandboxTest {
protected:
    // One row of a table of cases is done: everything it made goes, as
    // between two tests.
    void NextRow();

    // The stand-in as Quentabrix.exe in csDir; returns its path.
    std::wstring PlaceUpdater(const std::wstring& csDir,
                              const std::wstring& csProgram = kUpdater32);
    void RemoveUpdater(const std::wstring& csPath);
    Installation Install(const std::wstring& csSetupDir = testfiles::SystemDir(),
                         const std::wstring& csProgram = kUpdater32);

    // Runs the launcher from its own folder (or csCwd), the variables env
    // added for it and the updater.
    ProgramOutcome Run(const std::wstring& csLauncher, const EnvPairs& env = {},
                       const std::wstring& csCwd = L"");

    // c:\log.ini, or nullopt when there is none.
    static std::optional<std::string> ReadLog();
    static std::wstring RecordPath(const std::wstring& csUpdater);

    // What every case asserts: exit code 0, nothing on standard output, no
    // window, the exact log and which updater ran with exactly what.
    void CheckRun(const ProgramOutcome& outcome, const std::optional<std::string>& log,
                  const std::optional<Started>& started = std::nullopt);

    std::vector<std::wstring> m_updaters;
};

// The setup file IxaSetup.ini in csDir, with [MANAGE] and [ZOFIXA] PATH
// (nullopt leaves a section out), in the ANSI code page.
void WriteSetup(const std::optional<std::wstring>& manage,
                const std::optional<std::wstring>& zofixa,
                const std::wstring& csDir = testfiles::SystemDir());
// UnzipLauncher.exe with update.zip beside it in csDir; returns its path.
std::wstring PlaceLauncher(const std::wstring& csDir);
// csProgram from beside this one copied to csPath; false when it failed.
bool CopyProgram(const std::wstring& csProgram, const std::wstring& csPath);
// Lays the sample installation out (the fixture's folders, the setup file
// in csSetupDir, the stand-in csProgram as the updater) and returns it: for
// the cases, the demo and the pytest harness alike.
Installation InstallSample(const std::wstring& csSetupDir = testfiles::SystemDir(),
                           const std::wstring& csProgram = kUpdater32);

}  // namespace e2e
