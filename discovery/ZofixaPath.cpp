#include "Discovery.h"

#include <io.h>

#include "log/DiagLog.h"

const wchar_t kDefaultZofixaPath[] = L"C:\\Zof\\ZOFIXA\\";

namespace {
// The runtime's existence test: true for files and directories alike.
bool Exists(const std::wstring& csPath)
{
    return _waccess(csPath.c_str(), 0) == 0;
}
}  // namespace

bool IsZofixaPath(const std::wstring& csPath)
{
    if (csPath.empty()) {
        return false;
    }
    if (!Exists(csPath + L"Halvo.dll")) {
        return false;
    }
    return Exists(csPath + L"Murtelan.dll");
}

std::wstring FindZofixaPath()
{
    const std::wstring csSetupFile = SetupFilePath(kZofixaSystemDirChars);
    if (!csSetupFile.empty()) {
        std::wstring csValue =
            ReadSetupPath(csSetupFile, L"ZOFIXA", kDefaultZofixaPath, kZofixaBufferChars);
        // Only the last character is looked at: an empty value stays empty
        // and is never valid, a value ending in several backslashes keeps them.
        if (!csValue.empty() && csValue.back() != L'\\') {
            csValue += L'\\';
        }
        if (IsZofixaPath(csValue)) {
            WriteLog(L"IsZofixaPath succ[1]!");
            return csValue;
        }
    }

    // Only the fixed layout is searched for; A: and B: are never probed. An
    // empty drive fails quietly thanks to the error mode set at start.
    std::wstring csCandidate = kDefaultZofixaPath;
    for (wchar_t chLetter = L'C'; chLetter <= L'Z'; ++chLetter) {
        csCandidate[0] = chLetter;
        if (IsZofixaPath(csCandidate)) {
            WriteLog(L"IsZofixaPath succ[2]!");
            return csCandidate;
        }
    }

    WriteLog(L"GetZofixaPath com!");
    return kDefaultZofixaPath;
}
