#include "DiagLog.h"

#include <windows.h>

const wchar_t kLogFilePath[] = L"c:\\log.ini";

namespace {
// Belongs to the process; it is not stored between runs.
int g_nLogEntry = 0;
}  // namespace

void WriteLog(const std::wstring& message)
{
    const std::wstring key = std::to_wstring(g_nLogEntry);
    ++g_nLogEntry;
    WritePrivateProfileStringW(L"LOG", key.c_str(), message.c_str(), kLogFilePath);
}

void ResetLogNumbering()
{
    g_nLogEntry = 0;
}
