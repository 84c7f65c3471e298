#include "Discovery.h"

#include <io.h>

#include "log/DiagLog.h"

const wchar_t kDefaultZofixaPath[] = L"C:\\Zof\\ZOFIXA\\";

namespace {
// The runtime's existence test: true for files and directories alike.
bool Exists(const std::wstring& path)
{
    return _waccess(path.c_str(), 0) == 0;
}
}  // namespace

bool IsZofixaPath(const std::wstring& path)
{
    if (path.empty()) {
        return false;
    }
    if (!Exists(path + L"Halvo.dll")) {
        return false;
    }
    return Exists(path + L"Murtelan.dll");
}

std::wstring FindZofixaPath()
{
    const std::wstring setupFile = SetupFilePath(kZofixaBufferChars);
    if (!setupFile.empty()) {
        std::wstring value =
            ReadSetupPath(setupFile, L"ZOFIXA", L"C:\\Zof\\ZOFIXA", kZofixaBufferChars);
        // Only the last character is looked at: an empty value stays empty
        // and is never valid, a value ending in several backslashes keeps them.
        if (!value.empty() && value.back() != L'\\') {
            value += L'\\';
        }
        if (IsZofixaPath(value)) {
            WriteLog(L"IsZofixaPath succ[1]!");
            return value;
        }
    }

    // Only the fixed layout is searched for; A: and B: are never probed. An
    // empty drive fails quietly thanks to the error mode set at start.
    std::wstring candidate = kDefaultZofixaPath;
    for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
        candidate[0] = letter;
        if (IsZofixaPath(candidate)) {
            WriteLog(L"IsZofixaPath succ[2]!");
            return candidate;
        }
    }

    WriteLog(L"GetZofixaPath com!");
    return kDefaultZofixaPath;
}
