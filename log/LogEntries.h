// Every entry the log can hold, spelled here and in no other product file.
// An entry is a constant text; where it ends in "=" the writer appends a
// value (a path, an error number, the wait in milliseconds).
#pragma once

#include <string>

namespace logentry {

constexpr wchar_t kSucc1[] = L"IsZofixaPath succ[1]!";
constexpr wchar_t kSucc2[] = L"IsZofixaPath succ[2]!";
constexpr wchar_t kCom[] = L"GetZofixaPath com!";

constexpr wchar_t kNoUpdater[] = L"GetRegManPath no exists, path=";
constexpr wchar_t kNoProduct[] = L"GetZofixaPath no exists, path=";
constexpr wchar_t kNoPackage[] = L"GetUnzipPackPath no exists, path=";

constexpr wchar_t kNoModulePath[] = L"GetModuleFileName failed;errcode=";
constexpr wchar_t kNoOwnFolder[] = L"ReverseFind failed;csPackPath=";

constexpr wchar_t kNoShell[] = L"LoadLibraryEx(shell32.dll) failed;errcode=";
constexpr wchar_t kNoStartFunction[] = L"GetProcAddress(ShellExecuteExW) failed;errcode=";
constexpr wchar_t kShellFailed[] = L"ShellExecuteEx failed;errcode=";
constexpr wchar_t kNoProcess[] = L"ShellExecuteEx no process";
constexpr wchar_t kWaitTimeout[] = L"WaitForSingleObject timeout;ms=";
constexpr wchar_t kWaitFailed[] = L"WaitForSingleObject failed;errcode=";

// The updater's two arguments, quoted, as they are passed and logged.
inline std::wstring GetArgumentsEntry(const std::wstring& csDestination,
                                      const std::wstring& csPackage)
{
    return L"\"" + csDestination + L"\" \"" + csPackage + L"\"";
}

}  // namespace logentry
