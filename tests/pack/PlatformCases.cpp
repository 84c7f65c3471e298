// Where Windows and Wine differ. Each case states both expectations and
// checks the one of the platform it runs on; Windows' is the documented
// behaviour, with its source.
#include <windows.h>
// After windows.h, which it needs.
#include <winsafer.h>

#include "E2eTest.h"
#include "Fixture.h"
#include "support/Machine.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

class PlatformCases : public E2eTest {};

TEST_F(PlatformCases, ASetupFileInUtf8WithAByteOrderMark)
{
    const Installation installed = Install();
    WriteSetupFile("\xEF\xBB\xBF" + Ansi(L"[MANAGE]\r\nPATH=" + fixture::kManageDir + L"\\\r\n") +
                   Ansi(L"[ZOFIXA]\r\nPATH=" + fixture::kProductDir + L"\r\n"));
    const ProgramOutcome run = Run(installed.csLauncher);
    if (machine::IsWine()) {
        // Wine 8 reads a UTF-8 file with a byte-order mark as UTF-8.
        CheckRun(run, LogBytes({kSucc1, installed.GetParameters()}), installed.GetStarted());
    } else {
        // Windows reads profile files as ANSI, or as UTF-16 with its mark
        // (GetPrivateProfileString, "the system maps ... to the registry or
        // reads the file as ANSI or Unicode"); the UTF-8 mark stays on the
        // first line, so [MANAGE] is not found.
        CheckRun(run, LogBytes({kNoUpdater + L"\\" + kUpdater}));
    }
}

TEST_F(PlatformCases, AVariableInTheManagementPathIsNotExpanded)
{
    // A folder whose name holds %...% literally, and the folder the variable
    // names: only the first is what the launcher checked.
    const std::wstring csLiteral = L"C:\\UnzipLauncher-tests\\%UL_E2E_MANAGE%";
    WriteSetup(csLiteral, kDefaultProduct);
    const std::wstring csChecked = PlaceUpdater(csLiteral);
    const std::wstring csExpanded = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Expanded");
    MakeProduct(kDefaultProduct);
    const std::wstring csLauncher = PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg");
    const ProgramOutcome run = Run(csLauncher, {{L"UL_E2E_MANAGE", L"Expanded"}});
    const std::wstring csDestination = kDefaultProduct + L"download\\sorvane";
    const std::wstring csPackage = L"C:\\UnzipLauncher-tests\\pkg\\update.zip";
    // Windows expands variables in the file ShellExecuteEx starts only when
    // asked with SEE_MASK_DOENVSUBST (SHELLEXECUTEINFOW, fMask). Wine 8
    // expands them unasked, so there another program starts than the one
    // checked.
    const std::wstring csStarted = machine::IsWine() ? csExpanded : csChecked;
    const std::wstring csOther = machine::IsWine() ? csChecked : csExpanded;
    m_updaters.clear();
    CheckRun(run, LogBytes({kSucc1, Parameters(csDestination, csPackage)}));
    EXPECT_EQ(ReadUpdaterRecord(RecordPath(csStarted)),
              ExpectedUpdaterRecord(csStarted, csDestination, csPackage,
                                    L"C:\\UnzipLauncher-tests\\pkg"));
    EXPECT_EQ(ReadUpdaterRecord(RecordPath(csOther)), UpdaterRecord());
}

TEST_F(PlatformCases, AnOwnPathLongerThanMaxPath)
{
    const Installation installed = Install();
    std::wstring csFolder = L"C:\\UnzipLauncher-tests\\long";
    while (csFolder.size() < MAX_PATH) {
        csFolder += L"\\" + std::wstring(60, L'x');
    }
    const std::wstring csLauncher = PlaceLauncher(csFolder);
    // Windows starts no program at a path over MAX_PATH unless long paths
    // are enabled for the machine ("Maximum Path Length Limitation",
    // learn.microsoft.com); Wine 8 starts none at all (measured: error 2,
    // also in the \\?\ form).
    std::optional<CProgramRun> launch;
    launch.emplace(csLauncher, L"C:\\", EnvPairs{});
    const DWORD dwPlainError = launch->GetStartError();
    if (dwPlainError != 0) {
        launch.emplace(L"\\\\?\\" + csLauncher, L"C:\\", EnvPairs{});
    }
    if (launch->GetStartError() != 0) {
        GTEST_SKIP() << "no program starts at " << csLauncher.size() << " characters here: error "
                     << dwPlainError << ", and " << launch->GetStartError()
                     << " in the \\\\?\\ form";
    }
    const ProgramOutcome run = launch->Finish(kRunLimitMs);
    const std::wstring csPackage = csFolder + L"\\update.zip";
    if (machine::IsWine()) {
        // Wine's file functions take any length.
        Started started = installed.GetStarted();
        started.csPackage = csPackage;
        started.csCwd = L"C:\\";
        CheckRun(run, LogBytes({kSucc1, Parameters(installed.csDestination, csPackage)}), started);
    } else {
        // Windows' GetFileAttributes fails past MAX_PATH for a program that
        // does not declare itself long-path aware: the package is not found.
        CheckRun(run, LogBytes({kSucc1, kNoPackage + csPackage}));
    }
}

TEST_F(PlatformCases, AnOwnFolderOnAShare)
{
    const std::wstring csShare = FixtureShare();
    if (csShare.empty()) {
        GTEST_SKIP() << "needs a writable share, named by UL_SHARE_SERVER and UL_SHARE_NAME";
    }
    const Installation installed = Install();
    const std::wstring csFolder = csShare + L"\\Zof\\Update Package";
    const std::wstring csLauncher = PlaceLauncher(csFolder);
    const std::wstring csPackage = csFolder + L"\\update.zip";
    const std::wstring csCwd = L"C:\\UnzipLauncher-tests\\work";
    MakeDirs(csCwd);
    if (machine::IsWine() && machine::WineMajor() < 10) {
        // Wine 8 names a program started from a share UNC\srv\share\...: not
        // absolute, so it would resolve against the current directory, where
        // decoys lie. Nothing is acted on, not even the real folder. A known
        // Wine difference; Wine 10 names it as Windows does.
        const std::wstring csRelative = L"UNC" + csFolder.substr(1) + L"\\";
        const std::vector<std::wstring> decoys = {csCwd + L"\\" + csRelative + L"log.ini",
                                                  csCwd + L"\\" + csRelative + L"update.zip"};
        for (const std::wstring& csDecoy : decoys) {
            WriteBytes(csDecoy, "decoy");
        }
        WriteBytes(csFolder + L"\\log.ini", "stale");
        const ProgramOutcome run = Run(csLauncher, {}, csCwd);
        CheckRun(run, LogBytes({kSucc1, kNoPackage + csRelative + L"update.zip"}));
        for (const std::wstring& csDecoy : decoys) {
            EXPECT_EQ(ReadBytes(csDecoy), "decoy");
        }
        EXPECT_EQ(ReadBytes(csFolder + L"\\log.ini"), "stale");
    } else {
        // Windows names it \\srv\share\... (GetModuleFileName: the form
        // the module was loaded with): an absolute folder, and the run is the
        // typical one.
        const ProgramOutcome run = Run(csLauncher, {}, csCwd);
        Started started = installed.GetStarted();
        started.csPackage = csPackage;
        // The updater's working folder is the launcher's, a share: CreateProcess
        // takes a UNC path there (lpCurrentDirectory, learn.microsoft.com).
        // Wine 10 leaves the child in the launcher's own current directory
        // instead: a known Wine difference.
        started.csCwd = machine::IsWine() ? csCwd : csFolder;
        CheckRun(run, LogBytes({kSucc1, Parameters(installed.csDestination, csPackage)}), started);
    }
}

TEST_F(PlatformCases, AnUnelevatedRunWritesNoLogAndOtherwiseRunsAsUsual)
{
    if (machine::IsWine()) {
        GTEST_SKIP() << "Wine enforces no file rights: an unelevated run cannot be shown";
    }
    // A standard user's token, as a scheduled task without highest
    // privileges has: by default C:\ lets such a user create folders but not
    // files, so there is no c:\log.ini to write.
    const Installation installed = Install();
    SAFER_LEVEL_HANDLE hLevel = nullptr;
    ASSERT_TRUE(SaferCreateLevel(SAFER_SCOPEID_USER, SAFER_LEVELID_NORMALUSER, SAFER_LEVEL_OPEN,
                                 &hLevel, nullptr));
    HANDLE hRaw = nullptr;
    const BOOL bToken = SaferComputeTokenFromLevel(hLevel, nullptr, &hRaw, 0, nullptr);
    const ScopedHandle token(bToken ? hRaw : nullptr);
    SaferCloseLevel(hLevel);
    ASSERT_TRUE(token.IsValid());
    // The stand-in records where a standard user may write.
    const std::wstring csRecord = installed.csFolder + L"\\record-unelevated.txt";
    CProgramRun launch(installed.csLauncher, installed.csFolder,
                       {{L"FAKE_UPDATER_RECORD", csRecord}}, 0, token.Get());
    ASSERT_EQ(launch.GetStartError(), 0u);
    const ProgramOutcome run = launch.Finish(kRunLimitMs);
    m_updaters.clear();
    CheckRun(run, std::nullopt);
    const Started started = installed.GetStarted();
    EXPECT_EQ(ReadUpdaterRecord(csRecord),
              ExpectedUpdaterRecord(started.csUpdater, started.csDestination, started.csPackage,
                                    started.csCwd));
}

// The 32-bit launcher on 64-bit Windows (WoW64), with the 64-bit updater a
// current product may ship. Its reads of the system directory are redirected
// to SysWOW64, where a product's 32-bit installer writes the setup file too.
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
