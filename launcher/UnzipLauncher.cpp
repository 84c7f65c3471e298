#include "UnzipLauncher.h"

#include "LaunchAndWait.h"
#include "discovery/Discovery.h"
#include "log/DiagLog.h"

namespace {
// The parameter entry comes after the wait, then what went wrong, if anything.
void StartUpdater(const std::wstring& csUpdater, const std::wstring& csParameters)
{
    const std::wstring csOutcome = LaunchAndWait(csUpdater, csParameters);
    WriteLog(csParameters);
    if (!csOutcome.empty()) {
        WriteLog(csOutcome);
    }
}
}  // namespace

CUnzipLauncher::CUnzipLauncher()
{
    // Without a known own folder "log.ini" would resolve against the current
    // directory and delete someone else's file.
    const std::wstring csOwnDir = GetUnzipPackPath();
    if (!IsKnownFolder(csOwnDir)) {
        return;
    }
    // No existence test first: deleting a file that is not there fails
    // without doing anything.
    const std::wstring csStaleLog = csOwnDir + L"log.ini";
    DeleteFileW(csStaleLog.c_str());
}

std::wstring CUnzipLauncher::GetZofixaPath()
{
    m_csZofixaPath = FindZofixaPath();
    return m_csZofixaPath;
}

int CUnzipLauncher::UnzipPack()
{
    // A relative management directory would start whatever "Quentabrix.exe"
    // lies in the current directory or at the root of the current drive; a
    // folder of that name would be opened in a window, not run.
    const std::wstring csManPath = GetRegManPath();
    const std::wstring csUpdater = csManPath + L"Quentabrix.exe";
    if (!IsAbsolutePath(csManPath) || !IsExistingFile(csUpdater)) {
        WriteLog(L"GetRegManPath no exists, path=" + csUpdater);
        return 0;
    }

    const std::wstring csProduct = GetZofixaPath();
    if (!IsExistingPath(csProduct)) {
        WriteLog(L"GetZofixaPath no exists, path=" + csProduct);
        return 0;
    }
    const std::wstring csDestination = csProduct + L"download\\sorvane";

    // An own folder that is not known would resolve "update.zip" against the
    // current directory.
    const std::wstring csOwnDir = GetUnzipPackPath();
    const std::wstring csPackage = csOwnDir + L"update.zip";
    if (!IsKnownFolder(csOwnDir) || !IsExistingPath(csPackage)) {
        WriteLog(L"GetUnzipPackPath no exists, path=" + csPackage);
        return 0;
    }

    const std::wstring csParameters = L"\"" + csDestination + L"\" \"" + csPackage + L"\"";
    StartUpdater(csUpdater, csParameters);
    return 1;
}
