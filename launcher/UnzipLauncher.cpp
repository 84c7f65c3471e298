#include "UnzipLauncher.h"

#include <shlwapi.h>

#include "discovery/Discovery.h"
#include "log/DiagLog.h"

CUnzipLauncher::CUnzipLauncher()
{
    // Without a known own directory "log.ini" would resolve against the
    // current directory and delete someone else's file.
    const std::wstring ownDir = GetUnzipPackPath();
    if (!IsDirectoryString(ownDir)) {
        return;
    }
    const std::wstring staleLog = ownDir + L"log.ini";
    if (PathFileExistsW(staleLog.c_str())) {
        DeleteFileW(staleLog.c_str());
    }
}

std::wstring CUnzipLauncher::GetZofixaPath()
{
    m_csZofixaPath = FindZofixaPath();
    return m_csZofixaPath;
}

int CUnzipLauncher::UnzipPack()
{
    // A relative management directory would start whatever "Quentabrix.exe"
    // lies in the current directory or at the root of the current drive.
    const std::wstring csManPath = GetRegManPath();
    const std::wstring csUpdater = csManPath + L"Quentabrix.exe";
    if (!IsAbsolutePath(csManPath) || !PathFileExistsW(csUpdater.c_str())) {
        WriteLog(L"GetRegManPath no exists, path=" + csUpdater);
        return 0;
    }

    const std::wstring csProduct = GetZofixaPath();
    if (!PathFileExistsW(csProduct.c_str())) {
        WriteLog(L"GetZofixaPath no exists, path=" + csProduct);
        return 0;
    }
    const std::wstring csDestination = csProduct + L"download\\sorvane";

    // An unknown own directory would resolve "update.zip" against the
    // current directory.
    const std::wstring csOwnDir = GetUnzipPackPath();
    const std::wstring csPackage = csOwnDir + L"update.zip";
    if (!IsDirectoryString(csOwnDir) || !PathFileExistsW(csPackage.c_str())) {
        WriteLog(L"GetUnzipPackPath no exists, path=" + csPackage);
        return 0;
    }

    const std::wstring csParameters = L"\"" + csDestination + L"\" \"" + csPackage + L"\"";
    LaunchAndWait(csUpdater, csParameters);
    WriteLog(csParameters);
    return 1;
}
