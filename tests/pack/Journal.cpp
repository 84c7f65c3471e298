#include "Journal.h"

#include <windows.h>

#include "Fixture.h"
#include "platform/ScopedHandle.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

using testfiles::Exists;

namespace {

const wchar_t kAside[] = L"log.ini";  // the machine's c:\log.ini
const wchar_t kNoLog[] = L"no-log";   // the machine had none

std::wstring DriveName(wchar_t letter)
{
    return std::wstring(1, static_cast<wchar_t>(letter - L'a' + L'A')) + L":";
}

// The newest definition of csDrive ("E:") names the folder csTarget.
bool IsDriveDefinedAs(const std::wstring& csDrive, const std::wstring& csTarget)
{
    // The newest definition comes first; a path is kept as \??\<path>.
    constexpr DWORD kDeviceChars = 4096;
    std::vector<wchar_t> buffer(kDeviceChars, L'\0');
    const DWORD cch = QueryDosDeviceW(csDrive.c_str(), buffer.data(), kDeviceChars);
    return cch != 0 && cch < kDeviceChars && std::wstring(buffer.data()) == L"\\??\\" + csTarget;
}

}  // namespace

bool CJournal::IsLeftOver() const
{
    return Exists(m_csDir);
}

bool CJournal::IsOwn() const
{
    WIN32_FIND_DATAW found = {};
    const ScopedFindHandle search(FindFirstFileW((m_csDir + L"*").c_str(), &found));
    for (bool bMore = search.IsValid(); bMore; bMore = FindNextFileW(search.Get(), &found)) {
        const std::wstring csName = found.cFileName;
        const bool bLetter =
            csName.size() == 1 && fixture::kEmptyDrives.find(csName[0]) != std::wstring::npos;
        if (csName != L"." && csName != L".." && csName != kAside && csName != kNoLog && !bLetter) {
            return false;
        }
    }
    return true;
}

bool CJournal::Begin()
{
    return CreateDirectoryW(m_csDir.c_str(), nullptr) != FALSE;
}

bool CJournal::SetAsideLog()
{
    if (!Exists(logtexts::kLogFile)) {
        const ScopedHandle mark(CreateFileW((m_csDir + kNoLog).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return mark.IsValid();
    }
    // A rename, whole or not at all, and the file keeps its rights: not a
    // copy to another drive, which a kill could leave half made.
    return MoveFileExW(logtexts::kLogFile.c_str(), (m_csDir + kAside).c_str(),
                       MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::wstring CJournal::DefineDrives()
{
    std::wstring csUsable;
    const DWORD dwInUse = GetLogicalDrives();
    for (const wchar_t letter : fixture::kEmptyDrives) {
        const std::wstring csTarget = m_csDir + letter;
        if ((dwInUse & (1u << (letter - L'a'))) || !CreateDirectoryW(csTarget.c_str(), nullptr) ||
            !DefineDosDeviceW(0, DriveName(letter).c_str(), csTarget.c_str())) {
            continue;
        }
        // Under Wine 8 the letter is defined but shows no files.
        const std::wstring csProbe = csTarget + L"\\probe";
        {
            const ScopedHandle probe(CreateFileW(csProbe.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (probe.IsValid() && Exists(DriveName(letter) + L"\\probe")) {
                csUsable += letter;
            }
        }
        DeleteFileW(csProbe.c_str());
    }
    return csUsable;
}

bool CJournal::Restore(std::vector<std::wstring>& report)
{
    bool bRestored = true;
    // Only the journal's own definitions: each names a folder in it.
    for (const wchar_t letter : fixture::kEmptyDrives) {
        const std::wstring csDrive = DriveName(letter);
        const std::wstring csTarget = m_csDir + letter;
        if (IsDriveDefinedAs(csDrive, csTarget)) {
            const bool bUndone = DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                                                  csDrive.c_str(), csTarget.c_str());
            report.push_back((bUndone ? L"removed the drive " : L"could not remove the drive ") +
                             csDrive);
            bRestored = bRestored && bUndone;
        }
    }
    // c:\log.ini is the tests' only once the journal has set it aside.
    const std::wstring csAside = m_csDir + kAside;
    const std::wstring csNoLog = m_csDir + kNoLog;
    if (Exists(csAside)) {
        const bool bUndone =
            testfiles::RemoveTree(logtexts::kLogFile) &&
            MoveFileExW(csAside.c_str(), logtexts::kLogFile.c_str(), MOVEFILE_WRITE_THROUGH);
        report.push_back((bUndone ? L"put back " : L"could not put back ") + logtexts::kLogFile);
        bRestored = bRestored && bUndone;
    } else if (Exists(csNoLog)) {
        const bool bThere = Exists(logtexts::kLogFile);
        const bool bUndone =
            testfiles::RemoveTree(logtexts::kLogFile) && DeleteFileW(csNoLog.c_str());
        if (bThere || !bUndone) {
            report.push_back((bUndone ? L"removed " : L"could not remove ") + logtexts::kLogFile);
        }
        bRestored = bRestored && bUndone;
    }
    for (const wchar_t letter : fixture::kEmptyDrives) {
        bRestored = bRestored && testfiles::RemoveTree(m_csDir + letter);
    }
    // Empty now: anything else keeps the folder.
    if (!bRestored ||
        (!RemoveDirectoryW(m_csDir.substr(0, m_csDir.size() - 1).c_str()) && Exists(m_csDir))) {
        report.push_back(L"could not remove " + m_csDir);
        return false;
    }
    return true;
}
