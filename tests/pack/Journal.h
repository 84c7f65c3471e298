// What the tests change on a machine beyond the places the guard proved
// absent: c:\log.ini set aside, and drive letters defined. Both live in one
// folder, whose presence says that the guard passed: the file set aside,
// and the folders the letters name. The end of the run, or the next start
// after a run that was killed, finds each change from what it left there.
#pragma once

#include <string>
#include <vector>

class CJournal {
public:
    // csDir: the folder, with its trailing backslash.
    explicit CJournal(std::wstring csDir) : m_csDir(std::move(csDir)) {}

    // The folder is there: a run ended without restoring.
    bool IsLeftOver() const;
    // The guard passed: makes the folder.
    bool Begin();
    // c:\log.ini, if there is one, moved into the folder; false when it
    // is still where it was.
    bool SetAsideLog();
    // Each free letter of csLetters (lower case) names a folder of the
    // journal's; returns those that then show files.
    std::wstring DefineDrives(const std::wstring& csLetters);
    // Undoes every change, newest first, and removes the folder. One line per
    // undone change goes to report; false when any could not be undone (the
    // folder then stays, for the next start).
    bool Restore(std::vector<std::wstring>& report);

    const std::wstring& GetPath() const { return m_csDir; }

private:
    std::wstring m_csDir;
};
