#include "Journal.h"

#include <windows.h>

#include "Fixture.h"
#include "platform/ScopedHandle.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

using testfiles::Exists;

namespace {

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

bool CJournal::Begin()
{
    return CreateDirectoryW(m_csDir.c_str(), nullptr) != FALSE;
}

bool CJournal::SetAsideLog()
{
    // Copied whole, then renamed within the folder: a kill in the middle of
    // a copy to another volume leaves no half file to be put back.
    const std::wstring csCopy = m_csDir + L"log.ini.copy";
    return !Exists(logtexts::kLogFile) ||
           (CopyFileW(logtexts::kLogFile.c_str(), csCopy.c_str(), FALSE) &&
            MoveFileExW(csCopy.c_str(), (m_csDir + L"log.ini").c_str(), MOVEFILE_WRITE_THROUGH) &&
            DeleteFileW(logtexts::kLogFile.c_str()));
}

std::wstring CJournal::DefineDrives(const std::wstring& csLetters)
{
    std::wstring csUsable;
    const DWORD dwInUse = GetLogicalDrives();
    for (const wchar_t letter : csLetters) {
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
    const std::wstring csAside = m_csDir + L"log.ini";
    if (Exists(csAside)) {
        const bool bUndone = testfiles::RemoveTree(logtexts::kLogFile) &&
                             MoveFileExW(csAside.c_str(), logtexts::kLogFile.c_str(),
                                         MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
        report.push_back((bUndone ? L"put back " : L"could not put back ") + logtexts::kLogFile);
        bRestored = bRestored && bUndone;
    }
    return bRestored && testfiles::RemoveTree(m_csDir);
}
