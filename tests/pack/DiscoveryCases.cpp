// How the management and product directories are found: the setup file, its
// defaults, the marker libraries and the search over the drives C to Z.
#include "E2eTest.h"

#include <algorithm>
#include <cwctype>

#include "support/Machine.h"

using namespace logtexts;
using namespace testfiles;

namespace e2e {
namespace {

const std::wstring kPackage = L"C:\\UnzipLauncher-tests\\pkg\\update.zip";

class DiscoveryCases : public E2eTest {
protected:
    // The run that started csUpdater with the product csProduct, csEntry
    // saying how it was found.
    void CheckFound(const ProgramOutcome& run, const std::wstring& csUpdater,
                    const std::wstring& csEntry, const std::wstring& csProduct,
                    const std::wstring& csStartedAs = L"")
    {
        const std::wstring csDestination = csProduct + L"download\\sorvane";
        CheckRun(run, LogBytes({csEntry, Parameters(csDestination, kPackage)}),
                 Started{csUpdater, csDestination, kPackage, L"C:\\UnzipLauncher-tests\\pkg", true,
                         csStartedAs});
    }
    // The setup value names no product: only the search finds one.
    std::wstring SearchOnly()
    {
        WriteSetup(L"C:\\UnzipLauncher-tests\\Mgr", L"C:\\Nowhere\\ZOFIXA");
        return PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
    }
};

TEST_F(DiscoveryCases, TheFirstLetterWinsAndAAndBAreNeverTried)
{
    REQUIRE_DRIVES(L"abef");
    const std::wstring csUpdater = SearchOnly();
    for (const wchar_t* pszDrive : {L"A:", L"B:", L"F:", L"E:"}) {
        MakeProduct(std::wstring(pszDrive) + L"\\Zof\\ZOFIXA\\");
    }
    CheckFound(Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg")), csUpdater, kSucc2,
               L"E:\\Zof\\ZOFIXA\\");
}

TEST_F(DiscoveryCases, OneMarkerAloneNeverCountsADirectoryNamedLikeOneDoes)
{
    REQUIRE_DRIVES(L"efg");
    const std::wstring csUpdater = SearchOnly();
    MakeProduct(L"E:\\Zof\\ZOFIXA\\", {L"Halvo.dll"});
    MakeProduct(L"F:\\Zof\\ZOFIXA\\", {L"Murtelan.dll"});
    MakeDirs(L"G:\\Zof\\ZOFIXA\\Halvo.dll");
    MakeProduct(L"G:\\Zof\\ZOFIXA\\", {L"Murtelan.dll"});
    CheckFound(Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg")), csUpdater, kSucc2,
               L"G:\\Zof\\ZOFIXA\\");
}

TEST_F(DiscoveryCases, ADriveWithoutAMediumIsPassedQuietly)
{
    // A drive without a medium is the Wine fixture's (an empty card reader
    // on a real machine cannot be made by a program).
    // The product lies on the last empty drive, beyond it.
    const std::wstring csNoMedium = NoMediumDrive();
    const std::wstring csDrives = EmptyDrives();
    if (csNoMedium.empty() || csDrives.empty() || csDrives.back() <= csNoMedium[0]) {
        GTEST_SKIP() << "needs a drive without a medium, named by UL_NO_MEDIUM_DRIVE, and an "
                        "empty drive after it";
    }
    // As the search names it: in capitals.
    const std::wstring csLast(1, static_cast<wchar_t>(std::towupper(csDrives.back())));
    const std::wstring csUpdater = SearchOnly();
    const std::wstring csProduct = csLast + L":\\Zof\\ZOFIXA\\";
    MakeProduct(csProduct);
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"));
    CheckFound(run, csUpdater, kSucc2, csProduct);
    EXPECT_LT(run.ullMs, machine::Slack(10000));
}

TEST_F(DiscoveryCases, AnEmptyProductValueGoesStraightToTheSearch)
{
    // The default directory is valid, but only the search may find it.
    WriteSetup(L"C:\\UnzipLauncher-tests\\Mgr", L"");
    const std::wstring csUpdater = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
    MakeProduct(kDefaultProduct);
    CheckFound(Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg")), csUpdater, kSucc2,
               kDefaultProduct);
}

TEST_F(DiscoveryCases, AFailedSetupValueIsNotRetriedOnOtherDrives)
{
    REQUIRE_DRIVES(L"e");
    WriteSetup(L"C:\\UnzipLauncher-tests\\Mgr", L"C:\\UnzipLauncher-tests\\Tools\\ZOFIXA");
    PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
    MakeProduct(L"E:\\UnzipLauncher-tests\\Tools\\ZOFIXA\\");
    const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"));
    CheckRun(run, LogBytes({kCom, kNoProduct + kDefaultProduct}));
}

TEST_F(DiscoveryCases, NothingFoundTakesTheDefaultDirectoryWhenItExists)
{
    WriteSetup(L"C:\\UnzipLauncher-tests\\Mgr", L"C:\\UnzipLauncher-tests\\Tools\\ZOFIXA");
    const std::wstring csUpdater = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
    MakeDirs(kDefaultProduct);  // no marker libraries in it
    CheckFound(Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg")), csUpdater, kCom,
               kDefaultProduct);
}

TEST_F(DiscoveryCases, TheDefaultProductValueIsValidatedFirst)
{
    REQUIRE_DRIVES(L"e");
    for (const char* pszSetup : {"[MANAGE]\r\nPATH=C:\\UnzipLauncher-tests\\Mgr\r\n",
                                 "[MANAGE]\r\nPATH=C:\\UnzipLauncher-tests\\Mgr\r\n[ZOFIXA]"
                                 "\r\nOTHER=E:\\Zof\\ZOFIXA\r\n"}) {
        SCOPED_TRACE(pszSetup);
        WriteSetupFile(pszSetup);
        const std::wstring csUpdater = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Mgr");
        MakeProduct(kDefaultProduct);
        MakeProduct(L"E:\\Zof\\ZOFIXA\\");
        CheckFound(Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg")), csUpdater, kSucc1,
                   kDefaultProduct);
        NextRow();
    }
}

TEST_F(DiscoveryCases, TrailingBackslashesOfTheSetupValues)
{
    REQUIRE_DRIVES(L"e");
    // The management value loses its whole run of backslashes, then gets
    // one; the product value gets one when it has none.
    for (const auto& [csZofixa, csProduct] :
         {std::pair<std::wstring, std::wstring>{L"E:\\UnzipLauncher-tests\\Tools\\ZOFIXA",
                                                L"E:\\UnzipLauncher-tests\\Tools\\ZOFIXA\\"},
          {L"E:\\UnzipLauncher-tests\\Tools\\ZOFIXA\\\\",
           L"E:\\UnzipLauncher-tests\\Tools\\ZOFIXA\\\\"}}) {
        SCOPED_TRACE(Utf8(csZofixa));
        WriteSetup(L"C:\\UnzipLauncher-tests\\Program Files\\Mgr\\\\\\", csZofixa);
        const std::wstring csUpdater = PlaceUpdater(L"C:\\UnzipLauncher-tests\\Program Files\\Mgr");
        MakeProduct(L"E:\\UnzipLauncher-tests\\Tools\\ZOFIXA\\");
        CheckFound(Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg")), csUpdater, kSucc1,
                   csProduct);
        NextRow();
    }
}

TEST_F(DiscoveryCases, NoUpdaterIsStartedFromAPlaceThatIsNotAbsolute)
{
    const std::optional<std::wstring> values[] = {std::nullopt, L"",      L"\\\\",
                                                  L"Mgr",       L"C:Mgr", L"\\Mgr"};
    for (const std::optional<std::wstring>& manage : values) {
        SCOPED_TRACE(manage ? Utf8(*manage) : "no setup value");
        // Planted where a relative management directory would resolve: the
        // root of the current drive, the current directory and below both.
        for (const wchar_t* pszPlace : {L"C:", L"C:\\UnzipLauncher-tests\\pkg",
                                        L"C:\\UnzipLauncher-tests\\pkg\\Mgr", L"C:\\Mgr"}) {
            PlaceUpdater(pszPlace);
        }
        WriteSetup(manage, kDefaultProduct);
        MakeProduct(kDefaultProduct);
        const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"));
        std::wstring csBuilt = manage.value_or(L"");
        csBuilt.erase(csBuilt.find_last_not_of(L'\\') + 1);
        CheckRun(run, LogBytes({kNoUpdater + csBuilt + L"\\" + kUpdater}));
        NextRow();
    }
}

TEST_F(DiscoveryCases, AnAbsoluteManagementDirectoryMayBeWrittenWithForwardSlashes)
{
    // Windows takes either slash; the launcher only appends its backslash.
    // The share is there where the Wine fixture made it or the variables
    // name one.
    std::vector<std::wstring> places = {L"C:/UnzipLauncher-tests/Ixa Manage"};
    std::wstring csShare = FixtureShare();
    std::replace(csShare.begin(), csShare.end(), L'\\', L'/');
    if (!csShare.empty()) {
        places.push_back(csShare + L"/Zof/Ixa Manage");
    }
    for (const std::wstring& csManage : places) {
        SCOPED_TRACE(Utf8(csManage));
        WriteSetup(csManage, kDefaultProduct);
        PlaceUpdater(csManage);
        m_updaters = {csManage + L"\\" + kUpdater};  // as the launcher names it
        MakeProduct(kDefaultProduct);
        // Where the stand-in records, said outright: under Wine a program on
        // a share does not know its own folder.
        const ProgramOutcome run = Run(PlaceLauncher(L"C:\\UnzipLauncher-tests\\pkg"),
                                       {{L"FAKE_UPDATER_RECORD", RecordPath(m_updaters[0])}});
        // How the shell names the updater on its command line is not
        // documented. Wine 10 gives the path with backslashes, which is
        // expected of Windows too (a hand check of the pack's README); Wine 8
        // passes it as written, a known Wine difference.
        std::wstring csStartedAs;
        if (!machine::IsWine() || machine::WineMajor() >= 10) {
            csStartedAs = m_updaters[0];
            std::replace(csStartedAs.begin(), csStartedAs.end(), L'/', L'\\');
        }
        CheckFound(run, m_updaters[0], kSucc1, kDefaultProduct, csStartedAs);
        NextRow();
    }
}

// Bad input: overlong and non-ASCII setup values, non-ASCII folders, a setup
// file that is no file. Each run ends with exit code 0 and logs only what it
// always logs.
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
    const Started started =
        StartedFrom(csUpdater, L"E:\\Zof\\ZOFIXA\\", L"C:\\UnzipLauncher-tests\\pkg");
    CheckRun(run, LogBytes({kSucc2, Parameters(started.csDestination, started.csPackage)}),
             started);
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
    const Started started = StartedFrom(csUpdater, csProduct, csFolder);
    CheckRun(run, LogBytes({kSucc1, Parameters(started.csDestination, started.csPackage)}),
             started);
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
