#include "Journal.h"

#include <windows.h>

#include <algorithm>

#include "platform/ScopedHandle.h"
#include "support/TestFiles.h"

namespace {

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

CJournal::CJournal(std::wstring csDir) : m_csDir(std::move(csDir))
{
    m_nSaved = static_cast<int>(ReadEntries().size());
}

bool CJournal::IsLeftOver() const
{
    return testfiles::Exists(GetPath());
}

bool CJournal::Append(const Entry& entry)
{
    // UTF-16, as the paths are.
    const std::wstring csLine =
        entry.csKind + L"\t" + entry.csFirst + L"\t" + entry.csSecond + L"\n";
    const ScopedHandle file(CreateFileW(GetPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD cb = static_cast<DWORD>(csLine.size() * sizeof(wchar_t));
    DWORD cbWritten = 0;
    // On the disk before the change it describes is made.
    return file.IsValid() && WriteFile(file.Get(), csLine.data(), cb, &cbWritten, nullptr) &&
           cbWritten == cb && FlushFileBuffers(file.Get());
}

std::vector<CJournal::Entry> CJournal::ReadEntries() const
{
    const std::string bytes = testfiles::ReadBytes(GetPath());
    std::wstring csText(bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(bytes.begin(), bytes.begin() + csText.size() * sizeof(wchar_t),
              reinterpret_cast<char*>(&csText[0]));
    std::vector<Entry> entries;
    // A line cut short by a kill has no newline: its change was never made.
    for (size_t at = 0, end; (end = csText.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
        const std::wstring csLine = csText.substr(at, end - at);
        const size_t first = csLine.find(L'\t');
        const size_t second = csLine.find(L'\t', first + 1);
        entries.push_back({csLine.substr(0, first), csLine.substr(first + 1, second - first - 1),
                           csLine.substr(second + 1)});
    }
    return entries;
}

bool CJournal::Begin()
{
    return Append({L"begun", L"", L""});
}

bool CJournal::Saved(const std::wstring& csPath)
{
    const std::wstring csAside = m_csDir + L"saved-" + std::to_wstring(++m_nSaved);
    return Append({L"saved", csPath, csAside}) &&
           MoveFileExW(csPath.c_str(), csAside.c_str(),
                       MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
}

bool CJournal::Drive(const std::wstring& csDrive, const std::wstring& csTarget)
{
    return Append({L"drive", csDrive, csTarget}) &&
           DefineDosDeviceW(0, csDrive.c_str(), csTarget.c_str());
}

bool CJournal::Restore(std::vector<std::wstring>& report)
{
    const std::vector<Entry> entries = ReadEntries();
    bool bRestored = true;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        bool bUndone = true;
        const std::wstring& csFirst = entry->csFirst;
        const std::wstring& csSecond = entry->csSecond;
        if (entry->csKind == L"saved") {
            // Set aside only when the kill came after the move.
            if (testfiles::Exists(csSecond)) {
                bUndone = testfiles::RemoveTree(csFirst) &&
                          MoveFileExW(csSecond.c_str(), csFirst.c_str(),
                                      MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
                report.push_back((bUndone ? L"put back " : L"could not put back ") + csFirst);
            }
        } else if (entry->csKind == L"drive") {
            // Only our own definition, and only if the kill came after it.
            if (IsDriveDefinedAs(csFirst, csSecond)) {
                bUndone = DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                                           csFirst.c_str(), csSecond.c_str());
                report.push_back(
                    (bUndone ? L"removed the drive " : L"could not remove the drive ") + csFirst);
            }
        } else if (entry->csKind != L"begun") {
            report.push_back(L"not understood: " + entry->csKind);
            bUndone = false;
        }
        bRestored = bRestored && bUndone;
    }
    if (bRestored) {
        DeleteFileW(GetPath().c_str());
        m_nSaved = 0;
    }
    return bRestored;
}
