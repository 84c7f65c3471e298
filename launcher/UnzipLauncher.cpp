#include "UnzipLauncher.h"

#include "LaunchAndWait.h"
#include "discovery/Existence.h"
#include "discovery/PackPath.h"
#include "discovery/PathText.h"
#include "discovery/SetupFile.h"
#include "discovery/ZofixaPath.h"
#include "log/DiagLog.h"
#include "log/LogEntries.h"

CUnzipLauncher::CUnzipLauncher()
{
    // Without a known own folder "log.ini" would resolve against the current
    // directory and delete someone else's file.
    const std::wstring csOwnDir = GetUnzipPackPath();
    if (!IsAbsoluteDirectory(csOwnDir)) {
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
        WriteLog(logentry::kNoUpdater + csUpdater);
        return 0;
    }

    const std::wstring csProduct = GetZofixaPath();
    if (!IsExistingPath(csProduct)) {
        WriteLog(logentry::kNoProduct + csProduct);
        return 0;
    }
    const std::wstring csDestination = csProduct + L"download\\sorvane";

    // An own folder that is not known would resolve "update.zip" against the
    // current directory.
    const std::wstring csOwnDir = GetUnzipPackPath();
    const std::wstring csPackage = csOwnDir + L"update.zip";
    if (!IsAbsoluteDirectory(csOwnDir) || !IsExistingPath(csPackage)) {
        WriteLog(logentry::kNoPackage + csPackage);
        return 0;
    }

    const std::wstring csParameters = logentry::GetArgumentsEntry(csDestination, csPackage);
    // The arguments entry comes after the wait, then what went wrong, if anything.
    const std::wstring csOutcome = GetOutcomeEntry(LaunchAndWait(csUpdater, csParameters));
    WriteLog(csParameters);
    if (!csOutcome.empty()) {
        WriteLog(csOutcome);
    }
    return 1;
}
