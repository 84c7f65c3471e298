// Stand-in for the product's updater in tests and in the demo. It records how
// it was started into a UTF-8 text file, one "name=value" line each:
//   commandline, argc, argv[1].., cwd, useshowwindow, showwindow, finished.
// Environment: FAKE_UPDATER_RECORD names the record file (default
// "updater-record.txt" beside this program), FAKE_UPDATER_SLEEP_MS delays the
// exit, FAKE_UPDATER_EXIT_CODE sets the exit code, FAKE_UPDATER_CRASH=1 ends
// it with an unhandled access violation after the record is written, and
// FAKE_UPDATER_RECORD_FROM names a file whose bytes it writes as the record
// instead, and nothing else: a launcher stand-in that leaves a chosen log;
// FAKE_UPDATER_RECORD_ENV=1 adds an "env:NAME=VALUE" line for each variable
// of its environment.
// A GUI-subsystem program, so that starting it creates no console window.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "Utf8.h"
#include "platform/ScopedHandle.h"
#include "platform/StringQuery.h"

namespace {

// Room for the longest path and environment value Windows has.
constexpr DWORD kLongPathChars = 32768;

std::wstring Env(const wchar_t* name)
{
    std::wstring value;
    QueryString(
        kLongPathChars,
        [name](wchar_t* buffer, DWORD cch) { return GetEnvironmentVariableW(name, buffer, cch); },
        value);
    return value;
}

std::wstring RecordPath()
{
    std::wstring path = Env(L"FAKE_UPDATER_RECORD");
    if (!path.empty()) {
        return path;
    }
    path = QueryModulePath(nullptr, kLongPathChars);
    return path.substr(0, path.rfind(L'\\') + 1) + L"updater-record.txt";
}

void Append(const std::wstring& path, const std::wstring& text)
{
    const ScopedHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        return;
    }
    const std::string bytes = Utf8(text);
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

LONG WINAPI DieQuietly(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    const std::wstring record = RecordPath();
    DeleteFileW(record.c_str());
    const std::wstring from = Env(L"FAKE_UPDATER_RECORD_FROM");
    if (!from.empty()) {
        return CopyFileW(from.c_str(), record.c_str(), FALSE) ? 0 : 2;
    }

    std::wstring text = L"commandline=" + std::wstring(GetCommandLineW()) + L"\n";
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    text += L"argc=" + std::to_wstring(argc) + L"\n";
    for (int i = 1; argv != nullptr && i < argc; ++i) {
        text += L"argv[" + std::to_wstring(i) + L"]=" + argv[i] + L"\n";
    }
    LocalFree(argv);

    std::wstring cwd;
    QueryString(
        kLongPathChars,
        [](wchar_t* buffer, DWORD cch) { return GetCurrentDirectoryW(cch, buffer); }, cwd);
    text += L"cwd=" + cwd + L"\n";

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    text +=
        L"useshowwindow=" + std::to_wstring((si.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) + L"\n";
    text += L"showwindow=" + std::to_wstring(si.wShowWindow) + L"\n";
    if (Env(L"FAKE_UPDATER_RECORD_ENV") == L"1") {
        wchar_t* const block = GetEnvironmentStringsW();
        for (const wchar_t* entry = block; entry != nullptr && *entry != L'\0';
             entry += wcslen(entry) + 1) {
            text += L"env:" + std::wstring(entry) + L"\n";
        }
        FreeEnvironmentStringsW(block);
    }
    Append(record, text);

    const std::wstring sleepMs = Env(L"FAKE_UPDATER_SLEEP_MS");
    if (!sleepMs.empty()) {
        Sleep(static_cast<DWORD>(std::stoul(sleepMs)));
    }
    if (Env(L"FAKE_UPDATER_CRASH") == L"1") {
        // A top-level filter that lets the process die with the exception
        // code, as with no crash reporter: otherwise Wine starts a debugger
        // whose console window would blur the tests' "no window" check.
        SetUnhandledExceptionFilter(DieQuietly);
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    Append(record, L"finished=1\n");

    const std::wstring exitCode = Env(L"FAKE_UPDATER_EXIT_CODE");
    return exitCode.empty() ? 0 : std::stoi(exitCode);
}
