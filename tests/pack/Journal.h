// What the tests change on a machine beyond the places the guard proved
// absent: c:\log.ini, and drive letters defined. Both live in one folder,
// whose presence says that the guard passed: the machine's log set aside
// (or a mark that it had none), and the folders the letters name. The end
// of the run, or the next start after a run that was killed, finds each
// change from what it left there.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CJournal {
public:
    // csDir: the folder, with its trailing backslash.
    explicit CJournal(std::wstring csDir) : m_csDir(std::move(csDir)) {}

    // The folder is there: a run ended without restoring.
    bool IsLeftOver() const;
    // It holds nothing but what the journal puts there.
    bool IsOwn() const;
    // The guard passed: makes the folder.
    bool Begin();
    // c:\log.ini moved into the folder, or the mark that there is none;
    // until then the tests own no c:\log.ini.
    bool SetAsideLog();
    // Each free letter of the fixture's empty drives names a folder of the
    // journal's; returns those that then show files.
    std::wstring DefineDrives();
    // Undoes every change, newest first, and removes the folder. One line per
    // undone change goes to report; false when any could not be undone (the
    // folder then stays).
    bool Restore(std::vector<std::wstring>& report);

    const std::wstring& GetPath() const { return m_csDir; }

private:
    std::wstring m_csDir;
};
