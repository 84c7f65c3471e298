// What the tests change on a machine that the guard did not prove absent
// first, written down before each change, so that the end of the run, or the
// next start after a run that was killed, puts the machine back as it was:
// the originals set aside and the drive letters defined. Its presence says
// that the guard passed.
#pragma once

#include <string>
#include <vector>

class CJournal {
public:
    // csDir (with its trailing backslash) holds journal.txt and the
    // originals set aside.
    explicit CJournal(std::wstring csDir);

    // A journal is there: a run ended without restoring.
    bool IsLeftOver() const;
    // Undoes every entry, newest first, and removes the journal. One line per
    // undone entry goes to report; false when any could not be undone (the
    // journal then stays, for the next start).
    bool Restore(std::vector<std::wstring>& report);

    // Each returns false, having changed nothing, when its entry could not be
    // written down.
    // The guard passed: from now on the journal is there.
    bool Begin();
    // csPath is the machine's: set aside now, put back on restore.
    bool Saved(const std::wstring& csPath);
    // The drive csDrive ("E:") now names the folder csTarget: restoring
    // removes that definition.
    bool Drive(const std::wstring& csDrive, const std::wstring& csTarget);

    std::wstring GetPath() const { return m_csDir + L"journal.txt"; }

private:
    // One line: what was done, and the two paths it concerns.
    struct Entry {
        std::wstring csKind, csFirst, csSecond;
    };
    bool Append(const Entry& entry);
    std::vector<Entry> ReadEntries() const;

    std::wstring m_csDir;
    int m_nSaved = 0;
};
