// Bad input: overlong and non-ASCII setup values, non-ASCII folders, a setup
// file that is no file. Each run ends with exit code 0 and logs only what it
// always logs.
#include "E2eTest.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

class BadInputCases : public E2eTest {};

constexpr size_t kLong = 5000;

TEST_F(BadInputCases, OverlongSetupValuesAreCutByTheReader)
{
    // 1023 characters fit the management value's buffer.
    const std::wstring csManage = L"C:\\" + std::wstring(kLong - 3, L'm');
    WriteSetup(csManage, L"C:\\UnzipLauncher-tests\\Tools\\ZOFIXA");
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"));
    CheckRun(run, LogBytes({kNoUpdater + csManage.substr(0, 1023) + L"\\" + kUpdater}));
}

TEST_F(BadInputCases, AnOverlongProductValueFailsValidationAndTheSearchRuns)
{
    REQUIRE_DRIVES(L"e");
    WriteSetup(L"C:\\UnzipLauncher-tests\\Mgr", L"C:\\" + std::wstring(kLong - 3, L'z'));
    const std::wstring csUpdater = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
    MakeProduct(L"E:\\Zof\\ZOFIXA\\");
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"));
    const std::wstring csDestination = L"E:\\Zof\\ZOFIXA\\download\\sorvane";
    CheckRun(
        run,
        LogBytes({kSucc2, Parameters(csDestination, L"C:\\UnzipLauncher-tests\\pkg\\update.zip")}),
        Started{csUpdater, csDestination, L"C:\\UnzipLauncher-tests\\pkg\\update.zip",
                L"C:\\UnzipLauncher-tests\\pkg"});
}

TEST_F(BadInputCases, AUnicodeSetupFileAndNonAsciiFolders)
{
    // UTF-16 with a byte-order mark; the log is written in the ANSI code
    // page, so what it lacks reaches the log as "?" and the updater intact.
    const std::wstring csManage = L"C:\\UnzipLauncher-tests\\Pr\u00F6gramme\\Z\u00F6f Verwaltung";
    const std::wstring csProduct =
        L"C:\\UnzipLauncher-tests\\Pr\u00F6gramme\\Z\u00F6f \u66F4\u65B0\\ZOFIXA\\";
    const std::wstring csFolder =
        L"C:\\UnzipLauncher-tests\\T\u00E9l\u00E9chargements\\Mise \u00E0 jour \u66F4\u65B0";
    WriteSetupFileUtf16(L"[MANAGE]\r\nPATH=" + csManage + L"\r\n[ZOFIXA]\r\nPATH=" + csProduct +
                        L"\r\n");
    const std::wstring csUpdater = PlaceUpdater(csManage);
    MakeProduct(csProduct);
    const ProgramOutcome run = Run(PlaceLauncher(csFolder));
    const std::wstring csDestination = csProduct + L"download\\sorvane";
    const std::wstring csPackage = csFolder + L"\\update.zip";
    CheckRun(run, LogBytes({kSucc1, Parameters(csDestination, csPackage)}),
             Started{csUpdater, csDestination, csPackage, csFolder});
}

TEST_F(BadInputCases, ASetupFileThatIsADirectoryReadsAsMissing)
{
    MakeDirs(SystemDir() + L"\\IxaSetup.ini");
    PlaceUpdater(L"C:");  // where a missing management value would point
    MakeProduct(kDefaultProduct);
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"));
    CheckRun(run, LogBytes({kNoUpdater + L"\\" + kUpdater}));
}

}  // namespace
}  // namespace e2e
