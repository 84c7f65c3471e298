// The launcher: checks that the updater, the product directory and the
// package exist, then hands the package to the updater and waits for it.
// Names older than what they do stay, as the log and its readers know them:
// GetRegManPath reads no registry, and UnzipPack unzips nothing.
#pragma once

#include <windows.h>

#include <string>

class CUnzipLauncher {
public:
    // Removes a stale "log.ini" beside the executable.
    CUnzipLauncher();

    // Runs the job: 1 once the updater was started (or its start attempted)
    // and waited for, 0 when a precondition failed. Every decision is logged.
    int UnzipPack();

    // Finds the product directory and records it in m_csZofixaPath.
    std::wstring GetZofixaPath();

private:
    std::wstring m_csZofixaPath;
};
