#include "ZofixaPath.h"

#include "Existence.h"
#include "SetupFile.h"
#include "log/DiagLog.h"
#include "log/LogEntries.h"
#include "platform/StringQuery.h"

const wchar_t kDefaultZofixaPath[] = L"C:\\Zof\\ZOFIXA\\";

bool IsZofixaPath(const std::wstring& csPath)
{
    if (csPath.empty()) {
        return false;
    }
    if (!IsAccessiblePath(csPath + L"Halvo.dll")) {
        return false;
    }
    return IsAccessiblePath(csPath + L"Murtelan.dll");
}

std::wstring FindZofixaPath()
{
    const std::wstring csSetupFile = SetupFilePath(kShortBufferChars);
    if (!csSetupFile.empty()) {
        std::wstring csValue =
            ReadSetupPath(csSetupFile, L"ZOFIXA", kDefaultZofixaPath, kShortBufferChars);
        // Only the last character is looked at: an empty value stays empty
        // and is never valid, a value ending in several backslashes keeps them.
        if (!csValue.empty() && csValue.back() != L'\\') {
            csValue += L'\\';
        }
        if (IsZofixaPath(csValue)) {
            WriteLog(logentry::kSucc1);
            return csValue;
        }
    }

    // Only the fixed layout is searched for; A: and B: are never probed. An
    // empty drive fails quietly thanks to the error mode set at start.
    std::wstring csCandidate = kDefaultZofixaPath;
    for (wchar_t chLetter = L'C'; chLetter <= L'Z'; ++chLetter) {
        csCandidate[0] = chLetter;
        if (IsZofixaPath(csCandidate)) {
            WriteLog(logentry::kSucc2);
            return csCandidate;
        }
    }

    WriteLog(logentry::kCom);
    return kDefaultZofixaPath;
}
