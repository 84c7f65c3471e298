#include "E2eTest.h"

#include "Fixture.h"
#include "support/Utf8.h"

using namespace testfiles;

namespace e2e {

namespace {
const wchar_t kRecordName[] = L"updater-record.txt";
// An empty zip: the launcher only asks whether the package exists.
const std::string kEmptyZip("PK\x05\x06\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22);

// A drive's root keeps its backslash: "C:" alone names a current directory.
std::wstring ParentOf(const std::wstring& csPath)
{
    const size_t at = csPath.find_last_of(L"\\/");
    return csPath.substr(0, at == 2 && csPath[1] == L':' ? 3 : at);
}

}  // namespace

std::wstring PlaceLauncher(const std::wstring& csDir)
{
    MakeDirs(csDir);
    const std::wstring csFolder = csDir.back() == L'\\' ? csDir : csDir + L"\\";
    const std::wstring csPath = csFolder + L"UnzipLauncher.exe";
    EXPECT_TRUE(CopyProgram(L"UnzipLauncher.exe", csPath)) << Utf8(csPath);
    WriteBytes(csFolder + L"update.zip", kEmptyZip);
    return csPath;
}

void WriteSetup(const std::optional<std::wstring>& manage,
                const std::optional<std::wstring>& zofixa, const std::wstring& csDir)
{
    std::wstring csText;
    if (manage) {
        csText += L"[MANAGE]\r\nPATH=" + *manage + L"\r\n";
    }
    if (zofixa) {
        csText += L"[ZOFIXA]\r\nPATH=" + *zofixa + L"\r\n";
    }
    WriteSetupFile(logtexts::Ansi(csText), csDir);
}

bool CopyProgram(const std::wstring& csProgram, const std::wstring& csPath)
{
    MakeDirs(ParentOf(csPath));
    return CopyFileW((OwnDir() + csProgram).c_str(), csPath.c_str(), FALSE) != FALSE;
}

Installation InstallSample(const std::wstring& csSetupDir, const std::wstring& csProgram)
{
    Installation installation;
    installation.csProduct = fixture::kProductDir + L"\\";
    installation.csFolder = fixture::kPackageDir;
    WriteSetup(fixture::kManageDir + L"\\", fixture::kProductDir, csSetupDir);
    MakeProduct(installation.csProduct);
    installation.csUpdater = fixture::kManageDir + L"\\" + kUpdater;
    EXPECT_TRUE(CopyProgram(csProgram, installation.csUpdater));
    installation.csLauncher = PlaceLauncher(installation.csFolder);
    installation.csPackage = installation.csFolder + L"\\update.zip";
    installation.csDestination = installation.csProduct + L"download\\sorvane";
    return installation;
}

void E2eTest::NextRow()
{
    TearDown();
    SetUp();
    m_updaters.clear();
}

std::wstring E2eTest::PlaceUpdater(const std::wstring& csDir, const std::wstring& csProgram)
{
    const std::wstring csPath = csDir + L"\\" + kUpdater;
    EXPECT_TRUE(CopyProgram(csProgram, csPath)) << Utf8(csPath) << " " << GetLastError();
    m_updaters.push_back(csPath);
    return csPath;
}

void E2eTest::RemoveUpdater(const std::wstring& csPath)
{
    EXPECT_TRUE(DeleteFileW(csPath.c_str()));
    DeleteFileW(RecordPath(csPath).c_str());
}

Installation E2eTest::Install(const std::wstring& csSetupDir, const std::wstring& csProgram)
{
    const Installation installation = InstallSample(csSetupDir, csProgram);
    m_updaters.push_back(installation.csUpdater);
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
    EXPECT_EQ(outcome.csWindow, L"")
        << "a visible window of the launcher or of what it started: " << Utf8(outcome.csWindow);
    EXPECT_EQ(ReadLog(), log);
    for (const std::wstring& csUpdater : m_updaters) {
        UpdaterRecord expected;
        if (started && started->csUpdater == csUpdater) {
            expected = ExpectedUpdaterRecord(
                started->csStartedAs.empty() ? started->csUpdater : started->csStartedAs,
                started->csDestination, started->csPackage, started->csCwd);
            if (!started->bFinished) {
                expected.erase("finished");
            }
        }
        EXPECT_EQ(ReadUpdaterRecord(RecordPath(csUpdater)), expected) << Utf8(csUpdater);
    }
}

}  // namespace e2e
