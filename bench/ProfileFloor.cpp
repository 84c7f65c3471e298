// The floor of the launcher's early stop: what that stop must do and nothing
// else. It reads the setup file's two values with the profile API and writes
// one log entry.
#include <windows.h>

int wmain()
{
    constexpr UINT kChars = 1024;
    constexpr wchar_t kSetupName[] = L"\\IxaSetup.ini";
    wchar_t setupFile[kChars] = {};
    // Failed when 0, too small when not below the buffer's size (here: with
    // room left for the file name).
    const UINT cch = GetSystemDirectoryW(setupFile, kChars);
    if (cch == 0 || cch >= kChars - ARRAYSIZE(kSetupName)) {
        return 1;
    }
    lstrcatW(setupFile, kSetupName);

    wchar_t manage[kChars] = {};
    wchar_t zofixa[kChars] = {};
    GetPrivateProfileStringW(L"MANAGE", L"PATH", L"", manage, kChars, setupFile);
    GetPrivateProfileStringW(L"ZOFIXA", L"PATH", L"C:\\Zof\\ZOFIXA", zofixa, kChars, setupFile);
    WritePrivateProfileStringW(L"LOG", L"0", manage, L"c:\\log.ini");
    return 0;
}
