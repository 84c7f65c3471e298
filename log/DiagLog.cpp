#include "DiagLog.h"

#include <windows.h>

#include <cwchar>
#include <vector>

const wchar_t kLogFilePath[] = L"c:\\log.ini";

namespace {
// Belongs to the process; it is not stored between runs.
int g_nLogEntry = 0;

// Section names of the log file: 32767 characters is the most the profile
// API hands out for a section, and far more than a log file holds.
constexpr DWORD kSectionNameChars = 32768;
// A file edited by hand may hold [LOG] more than once; one removal takes one.
// The bound keeps a file that never changes from holding the run.
constexpr int kMaxLogSectionRemovals = 32;

// Whether the log file may still hold a section named LOG (any case): true
// when the names did not fit, since then nobody can tell.
bool HasLogSection()
{
    std::vector<wchar_t> names(kSectionNameChars, L'\0');
    // Returns the characters copied without the final terminator; size - 2
    // when the names were cut. 0 for a missing or unreadable file.
    const DWORD cch = GetPrivateProfileSectionNamesW(names.data(), kSectionNameChars, kLogFilePath);
    if (cch >= kSectionNameChars - 2) {
        return true;
    }
    for (const wchar_t* pszName = names.data(); *pszName != L'\0'; pszName += wcslen(pszName) + 1) {
        if (CompareStringOrdinal(pszName, -1, L"LOG", -1, TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

// A run's entries stand alone: a longer earlier run would otherwise leave
// its later entries beside them. Other sections are others'.
void RemoveEarlierRuns()
{
    for (int nRemoval = 0; nRemoval < kMaxLogSectionRemovals && HasLogSection(); ++nRemoval) {
        if (!WritePrivateProfileStringW(L"LOG", nullptr, nullptr, kLogFilePath)) {
            return;  // an unwritable log: the run goes on without it
        }
    }
}
}  // namespace

void WriteLog(const std::wstring& csMessage)
{
    if (g_nLogEntry == 0) {
        RemoveEarlierRuns();
    }
    const std::wstring csKey = std::to_wstring(g_nLogEntry);
    ++g_nLogEntry;
    WritePrivateProfileStringW(L"LOG", csKey.c_str(), csMessage.c_str(), kLogFilePath);
}

void ResetLogNumbering()
{
    g_nLogEntry = 0;
}
