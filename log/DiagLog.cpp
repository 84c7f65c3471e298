#include "DiagLog.h"

#include <windows.h>

const wchar_t kLogFilePath[] = L"c:\\log.ini";

namespace {
// Belongs to the process; it is not stored between runs.
int g_nLogEntry = 0;
}  // namespace

void WriteLog(const std::wstring& csMessage)
{
    if (g_nLogEntry == 0) {
        // A run's entries stand alone: a longer earlier run would otherwise
        // leave its later entries beside them. Other sections are others'.
        WritePrivateProfileStringW(L"LOG", nullptr, nullptr, kLogFilePath);
    }
    const std::wstring csKey = std::to_wstring(g_nLogEntry);
    ++g_nLogEntry;
    WritePrivateProfileStringW(L"LOG", csKey.c_str(), csMessage.c_str(), kLogFilePath);
}

void ResetLogNumbering()
{
    g_nLogEntry = 0;
}
