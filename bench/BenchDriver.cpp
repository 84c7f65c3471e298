// Times UnzipLauncher.exe against its floors inside one warm Wine prefix.
// Each program is started with CreateProcessW and timed with the performance
// counter from just before its creation to the return of the wait for its
// exit. The programs of a comparison alternate (A B A B ...), so that drift
// of the machine hits them alike; the ratio is the median of the ratios of
// the pairs. Each run starts after a short untimed pause (kSettleMs). The
// layout it expects is made by bench/run.
//   usage: BenchDriver.exe [ROUNDS]   (the latency case runs ROUNDS / 10)
// Exits with 1 when a target is missed, 2 when a run goes wrong.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchStamps.h"
#include "platform/ScopedHandle.h"
#include "platform/StringQuery.h"

namespace {

const std::wstring kFloors = L"C:\\bench\\";

// The sample installation of scripts/lib/fixture.env, which bench/run hands
// on through the environment; the setup file of each case names it.
struct Sample {
    std::wstring manageDir;
    std::wstring productDir;
    std::wstring packageDir;
};

// Every comparison's first program against its floor, the second.
constexpr double kRatioTarget = 1.05;
constexpr double kLatencyTargetMs = 20.0;
constexpr int kWarmUpRounds = 3;
// Untimed pause before each run: under Wine the previous process goes on
// tearing down after its exit is signalled, and a run started meanwhile
// takes 50 to 80 ms longer, whichever program it is.
constexpr DWORD kSettleMs = 100;

struct Program {
    const char* label;
    std::wstring commandLine;
    std::string setup;  // the setup file written before each run
    bool startsUpdater;
};

struct Run {
    LONGLONG start;
    LONGLONG end;
};

double g_ticksPerMs = 0;
std::wstring g_packageDir;  // the current directory of every run
BenchStamps* g_stamps = nullptr;

[[noreturn]] void Fail(const char* what, const char* label)
{
    std::printf("FAILED: %s: %s (error %lu)\n", label, what, GetLastError());
    std::exit(2);
}

LONGLONG Now()
{
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Ms(LONGLONG ticks)
{
    return static_cast<double>(ticks) / g_ticksPerMs;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring FixtureValue(const wchar_t* name)
{
    constexpr DWORD kChars = MAX_PATH;
    wchar_t value[kChars] = {};
    const DWORD cch = GetEnvironmentVariableW(name, value, kChars);
    // Failed when 0, too small when not below the buffer's size.
    if (cch == 0 || cch >= kChars)
        Fail("the sample installation is not in the environment", "driver");
    return std::wstring(value, cch);
}

// A setup file as an installer writes it: ANSI text, CRLF lines.
std::string SetupText(const std::wstring& manage, const std::wstring& zofixa)
{
    const std::wstring text =
        L"[MANAGE]\r\nPATH=" + manage + L"\r\n[ZOFIXA]\r\nPATH=" + zofixa + L"\r\n";
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) Fail("setup text not in the ANSI code page", "driver");
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], bytes, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(bytes) - 1);  // without the terminator
    return ansi;
}

std::wstring SystemFile(const wchar_t* name)
{
    const std::wstring dir = QuerySystemDirectory(MAX_PATH);
    if (dir.empty()) Fail("no system directory", "driver");
    return dir + L"\\" + name;
}

void WriteFileBytes(const std::wstring& path, const std::string& text, const char* label)
{
    const ScopedHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.IsValid()) Fail("cannot write the setup file", label);
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size());
    const BOOL ok = WriteFile(file.Get(), text.data(), size, &written, nullptr);
    if (!ok || written != size) Fail("cannot write the setup file", label);
}

Run RunOnce(const Program& program)
{
    static const std::wstring setupFile = SystemFile(L"IxaSetup.ini");
    WriteFileBytes(setupFile, program.setup, program.label);
    *g_stamps = {};
    Sleep(kSettleMs);

    std::wstring commandLine = program.commandLine;  // CreateProcessW may change it
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const LONGLONG start = Now();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        g_packageDir.c_str(), &si, &pi)) {
        Fail("cannot start", program.label);
    }
    const ScopedHandle thread(pi.hThread);
    const ScopedHandle process(pi.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    const LONGLONG end = Now();

    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    if (exitCode != 0) Fail("exit code not 0", program.label);
    if ((g_stamps->updaterExit != 0) != program.startsUpdater) {
        Fail(program.startsUpdater ? "the updater did not run" : "the updater ran", program.label);
    }
    return {start, end};
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const double at = fraction * static_cast<double>(values.size() - 1);
    const size_t low = static_cast<size_t>(at);
    const size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

void PrintLog()
{
    const ScopedHandle file(CreateFileW(L"C:\\log.ini", GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid()) return;
    constexpr DWORD kBytes = 4096;
    char text[kBytes] = {};
    DWORD read = 0;
    ReadFile(file.Get(), text, kBytes - 1, &read, nullptr);
    const std::string lines(text, read);
    for (size_t at = 0, end; at < lines.size(); at = end + 2) {
        end = std::min(lines.find("\r\n", at), lines.size());
        std::printf("      c:\\log.ini  %s\n", lines.substr(at, end - at).c_str());
    }
}

void PrintTimes(const char* label, const std::vector<double>& ms)
{
    std::printf("    %-44s median %7.2f ms  (middle half %.2f .. %.2f)\n", label,
                Percentile(ms, 0.5), Percentile(ms, 0.25), Percentile(ms, 0.75));
}

// Runs the programs in turn for rounds, after a warm-up; prints each one's
// times and whether the median of the ratios of the first to the second
// meets target, then the first's ratios to the others, for information.
bool Compare(const char* title, const std::vector<Program>& programs, int rounds, double target)
{
    std::printf("\n%s\n", title);
    for (int round = 0; round < kWarmUpRounds; ++round) {
        for (const Program& program : programs) {
            RunOnce(program);
        }
    }
    std::vector<std::vector<double>> ms(programs.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < programs.size(); ++i) {
            const Run run = RunOnce(programs[i]);
            ms[i].push_back(Ms(run.end - run.start));
        }
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        PrintTimes(programs[i].label, ms[i]);
    }
    std::vector<double> ratio(programs.size());
    for (size_t i = 1; i < programs.size(); ++i) {
        std::vector<double> ratios;
        for (int round = 0; round < rounds; ++round) {
            ratios.push_back(ms[0][round] / ms[i][round]);
        }
        ratio[i] = Percentile(ratios, 0.5);
    }
    const bool met = ratio[1] <= target;
    std::printf("    ratio %.3f (median of %d pairs; target <= %.2f) %s\n", ratio[1], rounds,
                target, met ? "met" : "MISSED");
    for (size_t i = 2; i < programs.size(); ++i) {
        std::printf("    ratio to %s: %.3f\n", programs[i].label, ratio[i]);
    }
    return met;
}

// How long the launcher outlives an updater that sleeps one second.
bool Latency(const Program& launcher, int rounds)
{
    std::printf("\nreturn latency: the updater sleeps 1 s\n");
    SetEnvironmentVariableW(L"BENCH_UPDATER_SLEEP_MS", L"1000");
    RunOnce(launcher);  // warm-up
    std::vector<double> afterUpdater;
    std::vector<double> wallMinusUpdater;
    for (int round = 0; round < rounds; ++round) {
        const Run run = RunOnce(launcher);
        afterUpdater.push_back(Ms(run.end - g_stamps->updaterExit));
        wallMinusUpdater.push_back(
            Ms((run.end - run.start) - (g_stamps->updaterExit - g_stamps->updaterEntry)));
    }
    SetEnvironmentVariableW(L"BENCH_UPDATER_SLEEP_MS", nullptr);
    PrintTimes("launcher exit after the updater's exit", afterUpdater);
    PrintTimes("launcher wall time minus the updater's", wallMinusUpdater);
    const double latency = Percentile(afterUpdater, 0.5);
    const bool met = latency <= kLatencyTargetMs;
    std::printf("    latency %.2f ms (median of %d runs; target <= %.0f ms) %s\n", latency, rounds,
                kLatencyTargetMs, met ? "met" : "MISSED");
    return met;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? std::max(10, _wtoi(argv[1])) : 200;
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;

    // Lives as long as the driver; the updater stamps into it.
    const ScopedHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  sizeof(BenchStamps), kStampMappingName));
    if (!mapping.IsValid()) Fail("no stamp mapping", "driver");
    g_stamps = static_cast<BenchStamps*>(
        MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(BenchStamps)));
    if (g_stamps == nullptr) Fail("no stamp view", "driver");

    const Sample sample{FixtureValue(L"UL_MANAGE_DIR"), FixtureValue(L"UL_PRODUCT_DIR"),
                        FixtureValue(L"UL_PACKAGE_DIR")};
    g_packageDir = sample.packageDir;
    const std::wstring updater = sample.manageDir + L"\\Quentabrix.exe";
    const std::wstring destination = sample.productDir + L"\\download\\sorvane";
    const std::wstring package = sample.packageDir + L"\\update.zip";
    // The launcher's setup file in each case. An invalid product value makes
    // the worst case: the search then probes every letter C..Z.
    const std::string early = "[MANAGE]\r\nPATH=C:\\NoManager\r\n";
    const std::string full = SetupText(sample.manageDir, sample.productDir);
    const std::string worst = SetupText(sample.manageDir, L"C:\\NoProduct");

    const std::wstring launcher = Quoted(sample.packageDir + L"\\UnzipLauncher.exe");
    const Program earlyStop{"UnzipLauncher, updater missing", launcher, early, false};
    const Program fullPath{"UnzipLauncher, full path", launcher, full, true};
    const Program worstSearch{"UnzipLauncher, search of C: .. Z:", launcher, worst, false};
    const Program profileFloor{"floor: reads the two values, writes one entry",
                               kFloors + L"ProfileFloor.exe", early, false};
    const Program empty{"empty program (for information)", kFloors + L"EmptyProgram.exe", early,
                        false};
    const Program shellStart{"floor: the same hidden ShellExecuteExW",
                             Quoted(kFloors + L"ShellStart.exe") + L" " + Quoted(updater) + L" " +
                                 Quoted(destination) + L" " + Quoted(package),
                             full, true};

    std::printf("what each launcher case logs:\n");
    for (const Program* program : {&earlyStop, &fullPath, &worstSearch}) {
        RunOnce(*program);
        std::printf("    %s\n", program->label);
        PrintLog();
    }

    bool met = true;
    met &= Compare("early stop", {earlyStop, profileFloor, empty}, rounds, kRatioTarget);
    met &= Compare("full path, the updater exits at once", {fullPath, shellStart}, rounds,
                   kRatioTarget);
    met &= Compare("worst-case drive search", {worstSearch, earlyStop}, rounds, kRatioTarget);
    met &= Latency(fullPath, std::max(5, rounds / 10));

    UnmapViewOfFile(g_stamps);
    return met ? 0 : 1;
}
