#include "Journal.h"

#include <windows.h>

#include "platform/ScopedHandle.h"
#include "support/TestFiles.h"
#include "support/Utf8.h"

namespace {

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) {
        return std::wstring();
    }
    const int cch =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(cch), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], cch);
    return out;
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

CJournal::CJournal(std::wstring csDir) : m_csDir(std::move(csDir))
{
    m_nSaved = static_cast<int>(ReadEntries().size());
}

bool CJournal::IsLeftOver() const
{
    return testfiles::Exists(GetPath());
}

bool CJournal::Append(const std::vector<std::wstring>& fields)
{
    std::wstring csLine;
    for (const std::wstring& csField : fields) {
        csLine += (csLine.empty() ? L"" : L"\t") + csField;
    }
    const std::string bytes = Utf8(csLine + L"\n");
    const ScopedHandle file(CreateFileW(GetPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD cbWritten = 0;
    // On the disk before the change it describes is made.
    return file.IsValid() &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &cbWritten,
                     nullptr) &&
           cbWritten == bytes.size() && FlushFileBuffers(file.Get());
}

std::vector<std::vector<std::wstring>> CJournal::ReadEntries() const
{
    std::vector<std::vector<std::wstring>> entries;
    const std::string bytes = testfiles::ReadBytes(GetPath());
    // A line cut short by a kill has no newline: its change was never made.
    size_t at = 0;
    for (size_t end; (end = bytes.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::wstring csLine = FromUtf8(bytes.substr(at, end - at));
        std::vector<std::wstring> fields;
        size_t from = 0;
        for (size_t tab; (tab = csLine.find(L'\t', from)) != std::wstring::npos; from = tab + 1) {
            fields.push_back(csLine.substr(from, tab - from));
        }
        fields.push_back(csLine.substr(from));
        entries.push_back(fields);
    }
    return entries;
}

bool CJournal::Begin()
{
    return Append({L"begun"});
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
    const std::vector<std::vector<std::wstring>> entries = ReadEntries();
    bool bRestored = true;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::vector<std::wstring>& fields = *entry;
        const std::wstring& csKind = fields[0];
        if (csKind == L"begun") {
            continue;
        }
        if (csKind == L"saved" && fields.size() == 3) {
            // Set aside only when the kill came after the move.
            if (testfiles::Exists(fields[2])) {
                const bool bBack = testfiles::RemoveTree(fields[1]) &&
                                   MoveFileExW(fields[2].c_str(), fields[1].c_str(),
                                               MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);
                report.push_back((bBack ? L"put back " : L"could not put back ") + fields[1]);
                bRestored = bRestored && bBack;
            }
        } else if (csKind == L"drive" && fields.size() == 3) {
            // Only our own definition, and only if the kill came after it.
            if (IsDriveDefinedAs(fields[1], fields[2])) {
                const bool bRemoved =
                    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                                     fields[1].c_str(), fields[2].c_str());
                report.push_back(
                    (bRemoved ? L"removed the drive " : L"could not remove the drive ") +
                    fields[1]);
                bRestored = bRestored && bRemoved;
            }
        } else {
            report.push_back(L"not understood: " + fields[0]);
            bRestored = false;
        }
    }
    if (bRestored) {
        DeleteFileW(GetPath().c_str());
        m_nSaved = 0;
    }
    return bRestored;
}
