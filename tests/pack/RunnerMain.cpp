// The test pack's runner. On a machine it is told is a test machine it
// refuses where the product is installed, writes down in a journal what it
// will change, runs unit_tests.exe and its own end-to-end cases, puts the
// machine back, writes one JUnit XML beside itself and ends with one line:
// "N passed, N failed, N skipped". Exit code 0 only when nothing failed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "E2eTest.h"
#include "Fixture.h"
#include "Journal.h"
#include "Machine.h"
#include "ProgramRun.h"
#include "ResultsXml.h"
#include "support/LogTexts.h"
#include "support/Utf8.h"

namespace fs = std::filesystem;

namespace {

// The unit tests take seconds; a hang must still end the run.
constexpr DWORD kUnitTestsLimitMs = 20 * 60 * 1000;
constexpr DWORD kNotStarted = 0xFFFFFFFFu;

void Say(const std::string& csLine)
{
    std::printf("e2e_runner: %s\n", csLine.c_str());
    std::fflush(stdout);
}

bool Exists(const std::wstring& csPath)
{
    return GetFileAttributesW(csPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The topmost folder of csPath that does not exist yet: what creating
// csPath creates.
std::wstring TopNew(const std::wstring& csPath)
{
    fs::path top(csPath);
    while (top.has_parent_path() && top.parent_path() != top.root_path() &&
           !Exists(top.parent_path().wstring())) {
        top = top.parent_path();
    }
    return top.wstring();
}

// Why the runner must not change this machine, or empty.
std::wstring GuardProblem()
{
    for (const std::wstring& csPath : e2e::CasePaths()) {
        if (csPath != logtexts::kLogFile && Exists(csPath)) {
            return csPath + L" exists, and the tests would remove it (is the product installed?)";
        }
    }
    for (const std::wstring& csDir : {fixture::kManageDir, fixture::kProductDir}) {
        const std::wstring csTop = fs::path(csDir).parent_path().wstring();
        if (Exists(csTop)) {
            return csTop + L" exists: the product may be installed";
        }
    }
    return std::wstring();
}

// Drive letters for the cases where the Wine fixture gave none: each free
// letter of the fixture's, mapped to a folder of the pack. Returns the
// letters that show files.
std::wstring DefineDrives(CJournal& journal)
{
    const std::wstring csRoot = e2e::PackDir() + L"drives";
    if (!journal.Created(TopNew(csRoot)) || !CreateDirectoryW(csRoot.c_str(), nullptr)) {
        return std::wstring();
    }
    std::wstring csUsable;
    const DWORD dwInUse = GetLogicalDrives();
    for (const wchar_t letter : fixture::kEmptyDrives) {
        if (dwInUse & (1u << (letter - L'a'))) {
            continue;
        }
        const std::wstring csTarget = csRoot + L"\\" + letter;
        const std::wstring csDrive =
            std::wstring(1, static_cast<wchar_t>(letter - L'a' + L'A')) + L":";
        if (!CreateDirectoryW(csTarget.c_str(), nullptr) || !journal.Drive(csDrive, csTarget)) {
            continue;
        }
        // Under Wine 8 the letter is defined but shows no files.
        const std::wstring csProbe = csTarget + L"\\probe";
        const ScopedHandle probe(CreateFileW(csProbe.c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (probe.IsValid() && Exists(csDrive + L"\\probe")) {
            csUsable += letter;
        }
    }
    for (const wchar_t letter : fixture::kEmptyDrives) {
        DeleteFileW((csRoot + L"\\" + letter + L"\\probe").c_str());
    }
    return csUsable;
}

// Runs unit_tests.exe beside the runner, its output shown as it comes.
DWORD RunUnitTests(const std::wstring& csXml)
{
    const std::wstring csExe = e2e::PackDir() + L"unit_tests.exe";
    std::wstring csCommandLine =
        L"\"" + csExe + L"\" --test-machine --gtest_brief=1 --gtest_output=xml:" + csXml;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(csExe.c_str(), &csCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        e2e::PackDir().c_str(), &si, &pi)) {
        Say("could not start unit_tests.exe: error " + std::to_string(GetLastError()));
        return kNotStarted;
    }
    const ScopedHandle process(pi.hProcess);
    const ScopedHandle thread(pi.hThread);
    if (WaitForSingleObject(process.Get(), kUnitTestsLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 3);
        WaitForSingleObject(process.Get(), INFINITE);
    }
    DWORD dwExitCode = 3;
    GetExitCodeProcess(process.Get(), &dwExitCode);
    return dwExitCode;
}

bool Restore(CJournal& journal)
{
    std::vector<std::wstring> report;
    const bool bRestored = journal.Restore(report);
    for (const std::wstring& csLine : report) {
        Say("restore: " + Utf8(csLine));
    }
    if (!bRestored) {
        Say("could not restore everything; the journal stays: " + Utf8(journal.GetPath()));
    }
    return bRestored;
}

}  // namespace

int main(int argc, char** argv)
{
    // Before the flags are read: GoogleTest sets its XML writer up then.
    const std::wstring csJournalDir = e2e::PackDir() + L"journal\\";
    const std::wstring csXml = csJournalDir + L"e2e_runner.xml";
    GTEST_FLAG_SET(output, "xml:" + Utf8(csXml));
    testing::InitGoogleTest(&argc, argv);
    bool bTestMachine = false;
    bool bUnitTests = true;
    for (int i = 1; i < argc; ++i) {
        bTestMachine = bTestMachine || std::strcmp(argv[i], "--test-machine") == 0;
        bUnitTests = bUnitTests && std::strcmp(argv[i], "--no-unit-tests") != 0;
    }
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    Say(machine::Describe());
    if (!bTestMachine) {
        Say("not run: the tests write the system directory's IxaSetup.ini, c:\\log.ini and "
            "folders under C:\\; run them only on a test machine, with --test-machine");
        return 2;
    }
    if (!machine::IsWine() && !machine::IsElevated()) {
        Say("not run: not elevated; the tests write the system directory (run as administrator)");
        return 2;
    }

    CreateDirectoryW(csJournalDir.c_str(), nullptr);
    CJournal journal(csJournalDir);
    if (journal.IsLeftOver()) {
        Say("a run was killed before it restored this machine; restoring it first");
        if (!Restore(journal)) {
            return 2;
        }
    }
    const std::wstring csProblem = GuardProblem();
    if (!csProblem.empty()) {
        Say("not run: " + Utf8(csProblem));
        return 2;
    }

    // Written down before anything changes.
    bool bJournaled = !Exists(logtexts::kLogFile) || journal.Saved(logtexts::kLogFile);
    for (const std::wstring& csPath : e2e::CasePaths()) {
        const std::wstring csTop = TopNew(csPath);
        bJournaled = bJournaled && (Exists(csTop) || journal.Created(csTop));
    }
    if (!bJournaled) {
        Say("not run: could not write the journal " + Utf8(journal.GetPath()));
        Restore(journal);
        return 2;
    }
    if (testfiles::EmptyDrives().empty()) {
        const std::wstring csDrives = DefineDrives(journal);
        SetEnvironmentVariableW(L"UL_EMPTY_DRIVES", csDrives.c_str());
        Say(csDrives.empty() ? "no drive letter could be given files here: the cases that need one "
                               "are skipped"
                             : "drives for the tests: " + Utf8(csDrives));
    }

    CResultsXml results;
    if (bUnitTests) {
        const std::wstring csUnitXml = csJournalDir + L"unit_tests.xml";
        DeleteFileW(csUnitXml.c_str());
        const DWORD dwExitCode = RunUnitTests(csUnitXml);
        results.Add(L"unit_tests.exe", csUnitXml, dwExitCode);
    }
    DeleteFileW(csXml.c_str());
    const int nExitCode = RUN_ALL_TESTS();
    results.Add(L"e2e_runner.exe", csXml, static_cast<DWORD>(nExitCode));

    const bool bRestored = Restore(journal);
    const std::wstring csResults = e2e::PackDir() + L"test-results.xml";
    if (!results.Write(csResults)) {
        Say("could not write " + Utf8(csResults));
    }
    for (const std::string& csSkip : results.GetSkips()) {
        Say("skipped " + csSkip);
    }
    std::printf("%d passed, %d failed, %d skipped\n", results.GetPassed(), results.GetFailed(),
                results.GetSkipped());
    return results.GetFailed() == 0 && bRestored ? 0 : 1;
}
