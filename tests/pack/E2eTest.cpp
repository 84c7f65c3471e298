#include "E2eTest.h"

#include <filesystem>

#include "Fixture.h"
#include "Machine.h"
#include "platform/StringQuery.h"
#include "support/LogTexts.h"
#include "support/Utf8.h"

namespace fs = std::filesystem;
using namespace testfiles;

namespace e2e {

namespace {
constexpr DWORD kPathChars = MAX_PATH;
const wchar_t kRecordName[] = L"updater-record.txt";
// An empty zip: the launcher only asks whether the package exists.
const std::string kEmptyZip("PK\x05\x06\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22);

std::wstring ParentOf(const std::wstring& csPath)
{
    return fs::path(csPath).parent_path().wstring();
}
}  // namespace

std::wstring PackDir()
{
    return OwnDir();
}

std::wstring SystemDir()
{
    return QuerySystemDirectory(kPathChars);
}

std::wstring NativeSystemDir()
{
    // A 32-bit program reaches the 64-bit system directory by this alias only.
    std::wstring csWindows;
    QueryString(
        kPathChars,
        [](wchar_t* pszBuffer, DWORD cch) { return GetSystemWindowsDirectoryW(pszBuffer, cch); },
        csWindows);
    return machine::IsWow64() ? csWindows + L"\\Sysnative" : SystemDir();
}

std::vector<std::wstring> CasePaths()
{
    std::vector<std::wstring> paths = {
        logtexts::kLogFile, SystemDir() + L"\\IxaSetup.ini", NativeSystemDir() + L"\\IxaSetup.ini",
        fixture::kManageDir, fixture::kProductDir, fixture::kPackageDir, PackDir() + L"log.ini",
        PackDir() + L"update.zip",
        // The cases' own places on C:, and what lies at its root.
        L"C:\\Zof", L"C:\\Mgr", L"C:\\pkg", L"C:\\Tools", L"C:\\work", L"C:\\Ixa Manage",
        L"C:\\Program Files\\Mgr", L"C:\\Pr\u00F6gramme", L"C:\\T\u00E9l\u00E9chargements",
        L"C:\\Quentabrix.exe", L"C:\\updater-record.txt", L"C:\\UnzipLauncher.exe",
        L"C:\\update.zip"};
    for (const wchar_t letter : fixture::kEmptyDrives) {
        for (const wchar_t* pszDir : {L":\\Zof", L":\\Tools", L":\\pkg"}) {
            paths.push_back(std::wstring(1, letter) + pszDir);
        }
    }
    return paths;
}

std::wstring Installation::GetParameters() const
{
    return logtexts::Parameters(csDestination, csPackage);
}

void E2eTest::SetUp()
{
    Clean();
}

void E2eTest::TearDown()
{
    Clean();
}

void E2eTest::Clean()
{
    // Everything here was checked absent before the run began (the guard).
    for (const std::wstring& csPath : CasePaths()) {
        EXPECT_TRUE(RemoveTree(csPath)) << Utf8(csPath);
    }
    for (const std::wstring& csTop : {fixture::kManageDir, fixture::kProductDir}) {
        std::error_code ec;
        fs::remove(fs::path(ParentOf(csTop)), ec);  // only when empty
    }
}

void E2eTest::RequireDrives(const std::wstring& csLetters)
{
    const std::wstring csLacking = LackingDrives(csLetters);
    if (!csLacking.empty()) {
        GTEST_SKIP() << "needs the empty drives " << Utf8(csLacking) << " of a test machine";
    }
}

void E2eTest::WriteSetupBytes(const std::string& bytes, const std::wstring& csDir)
{
    WriteBytes(csDir + L"\\IxaSetup.ini", bytes);
}

void E2eTest::WriteSetup(const std::optional<std::wstring>& manage,
                         const std::optional<std::wstring>& zofixa, const std::wstring& csDir)
{
    std::wstring csText;
    if (manage) {
        csText += L"[MANAGE]\r\nPATH=" + *manage + L"\r\n";
    }
    if (zofixa) {
        csText += L"[ZOFIXA]\r\nPATH=" + *zofixa + L"\r\n";
    }
    WriteSetupBytes(logtexts::Ansi(csText), csDir);
}

void E2eTest::WriteSetupUtf16(const std::wstring& csText, const std::wstring& csDir)
{
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : csText) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteSetupBytes(bytes, csDir);
}

void E2eTest::MakeProduct(const std::wstring& csDir, const std::vector<std::wstring>& markers)
{
    for (const std::wstring& csMarker : markers) {
        Touch(csDir + csMarker);
    }
}

std::wstring E2eTest::PlaceUpdater(const std::wstring& csDir, const std::wstring& csProgram)
{
    const std::wstring csPath = csDir + L"\\" + kUpdater;
    MakeDirs(csDir);
    EXPECT_TRUE(CopyFileW((PackDir() + csProgram).c_str(), csPath.c_str(), FALSE))
        << Utf8(csPath) << " " << GetLastError();
    m_updaters.push_back(csPath);
    return csPath;
}

void E2eTest::RemoveUpdater(const std::wstring& csPath)
{
    EXPECT_TRUE(DeleteFileW(csPath.c_str()));
    DeleteFileW(RecordPath(csPath).c_str());
}

std::wstring E2eTest::PlaceLauncher(const std::wstring& csDir)
{
    MakeDirs(csDir);
    const std::wstring csFolder = csDir.back() == L'\\' ? csDir : csDir + L"\\";
    const std::wstring csPath = csFolder + L"UnzipLauncher.exe";
    EXPECT_TRUE(CopyFileW((PackDir() + L"UnzipLauncher.exe").c_str(), csPath.c_str(), FALSE))
        << Utf8(csPath) << " " << GetLastError();
    WriteBytes(csFolder + L"update.zip", kEmptyZip);
    return csPath;
}

Installation E2eTest::Install(const std::wstring& csSetupDir, const std::wstring& csProgram)
{
    Installation installation;
    installation.csProduct = fixture::kProductDir + L"\\";
    installation.csFolder = fixture::kPackageDir;
    WriteSetup(fixture::kManageDir + L"\\", fixture::kProductDir, csSetupDir);
    MakeProduct(installation.csProduct);
    installation.csUpdater = PlaceUpdater(fixture::kManageDir, csProgram);
    installation.csLauncher = PlaceLauncher(installation.csFolder);
    installation.csPackage = installation.csFolder + L"\\update.zip";
    installation.csDestination = installation.csProduct + L"download\\sorvane";
    return installation;
}

ProgramOutcome E2eTest::Run(const std::wstring& csLauncher, const EnvPairs& env,
                            const std::wstring& csCwd)
{
    CProgramRun run(csLauncher, csCwd.empty() ? ParentOf(csLauncher) : csCwd, env);
    EXPECT_EQ(run.GetStartError(), 0u) << Utf8(csLauncher);
    return run.Finish(kRunLimitMs);
}

std::optional<std::string> E2eTest::ReadLog()
{
    const DWORD dwAttributes = GetFileAttributesW(logtexts::kLogFile.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    return ReadBytes(logtexts::kLogFile);
}

std::wstring E2eTest::RecordPath(const std::wstring& csUpdater)
{
    return csUpdater.substr(0, csUpdater.find_last_of(L"\\/") + 1) + kRecordName;
}

void E2eTest::CheckRun(const ProgramOutcome& outcome, const std::optional<std::string>& log,
                       const std::optional<Started>& started)
{
    EXPECT_EQ(outcome.dwExitCode, 0u);
    EXPECT_FALSE(outcome.bTimedOut);
    EXPECT_EQ(outcome.csStdout, "");
    EXPECT_EQ(std::vector<std::string>(), [&outcome] {
        std::vector<std::string> windows;
        for (const std::wstring& csWindow : outcome.windows) {
            windows.push_back(Utf8(csWindow));
        }
        return windows;
    }()) << "visible windows of the launcher or what it started";
    EXPECT_EQ(ReadLog(), log);
    for (const std::wstring& csUpdater : m_updaters) {
        UpdaterRecord expected;
        if (started && started->csUpdater == csUpdater) {
            expected = ExpectedUpdaterRecord(Utf8(started->csUpdater), Utf8(started->csDestination),
                                             Utf8(started->csPackage), Utf8(started->csCwd));
            if (!started->bFinished) {
                expected.erase("finished");
            }
        }
        EXPECT_EQ(ReadUpdaterRecord(RecordPath(csUpdater)), expected) << Utf8(csUpdater);
    }
}

}  // namespace e2e
