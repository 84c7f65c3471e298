// The floor of the launcher's full path: starts argv[1] hidden through the
// shell with argv[2] and argv[3] as its two quoted arguments, with the
// launcher's flags, waits for it at most two minutes and exits. No C++
// library, so that it stays the least such program.
#include <windows.h>

#include <shellapi.h>
#include <wchar.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        return 2;
    }
    constexpr size_t kParametersChars = 2048;
    wchar_t parameters[kParametersChars] = {};
    const int written =
        _snwprintf(parameters, kParametersChars - 1, L"\"%ls\" \"%ls\"", argv[2], argv[3]);
    if (written < 0) {
        return 2;
    }

    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpFile = argv[1];
    sei.lpParameters = parameters;
    sei.nShow = SW_HIDE;
    const BOOL launched = ShellExecuteExW(&sei);
    if (sei.hProcess != nullptr) {
        WaitForSingleObject(sei.hProcess, 120000);
        CloseHandle(sei.hProcess);
    }
    return launched ? 0 : 1;
}
