#include "support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Fixture.h"
#include "log/DiagLog.h"
#include "platform/ScopedHandle.h"
#include "support/LogTexts.h"
#include "support/Machine.h"

namespace fs = std::filesystem;

namespace testfiles {

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(fs::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    MakeDirs(fs::path(path).parent_path().wstring());
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << Utf8(path);
}

void Touch(const std::wstring& path)
{
    WriteBytes(path, "");
}

void MakeDirs(const std::wstring& path)
{
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
// The form of an absolute path that the file functions take past MAX_PATH.
std::wstring LongForm(const std::wstring& path)
{
    if (path.size() > 2 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
        std::wstring long_form = L"\\\\?\\" + path;
        std::replace(long_form.begin(), long_form.end(), L'/', L'\\');
        return long_form;
    }
    if (path.rfind(L"\\\\", 0) == 0 && path.rfind(L"\\\\?\\", 0) != 0) {
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    return path;
}

void RemoveLongForm(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileW(path.c_str());
        return;
    }
    // A link to a folder goes without what it links to.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        WIN32_FIND_DATAW found = {};
        const ScopedFindHandle search(FindFirstFileW((path + L"\\*").c_str(), &found));
        for (bool more = search.IsValid(); more; more = FindNextFileW(search.Get(), &found)) {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") {
                RemoveLongForm(path + L"\\" + name);
            }
        }
    }
    RemoveDirectoryW(path.c_str());
}
}  // namespace

bool RemoveTree(const std::wstring& path)
{
    std::wstring trimmed = path;
    while (trimmed.size() > 3 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) {
        trimmed.pop_back();
    }
    RemoveLongForm(LongForm(trimmed));
    return GetFileAttributesW(LongForm(trimmed).c_str()) == INVALID_FILE_ATTRIBUTES;
}

UpdaterRecord ReadUpdaterRecord(const std::wstring& path)
{
    UpdaterRecord record;
    const std::string text = ReadBytes(path);
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        const size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << "not name=value: " << line;
        EXPECT_EQ(record.count(line.substr(0, equals)), 0u) << "twice: " << line;
        record[line.substr(0, equals)] = equals == std::string::npos ? "" : line.substr(equals + 1);
    }
    return record;
}

UpdaterRecord ExpectedUpdaterRecord(const std::wstring& updater, const std::wstring& destination,
                                    const std::wstring& package, const std::wstring& cwd)
{
    return {{"commandline",
             Utf8(L"\"" + updater + L"\" \"" + destination + L"\" \"" + package + L"\"")},
            {"argc", "3"},
            {"argv[1]", Utf8(destination)},
            {"argv[2]", Utf8(package)},
            {"cwd", Utf8(cwd)},
            {"useshowwindow", "1"},
            {"showwindow", "0"},
            {"finished", "1"}};
}

std::wstring FixtureValue(const wchar_t* name)
{
    constexpr DWORD kChars = 64;
    wchar_t value[kChars] = {};
    const DWORD cch = GetEnvironmentVariableW(name, value, kChars);
    return std::wstring(value, cch < kChars ? cch : 0);
}

std::wstring EmptyDrives()
{
    return FixtureValue(L"UL_EMPTY_DRIVES");
}

std::wstring LackingDrives(const std::wstring& letters)
{
    const std::wstring drives = EmptyDrives();
    std::wstring lacking;
    for (const wchar_t letter : letters) {
        if (drives.find(letter) == std::wstring::npos) {
            lacking += letter;
        }
    }
    return lacking;
}

std::wstring NoMediumDrive()
{
    const std::wstring csLetter = FixtureValue(L"UL_NO_MEDIUM_DRIVE");
    return csLetter.empty() ? csLetter : csLetter + L":";
}

std::wstring FixtureShare()
{
    const std::wstring csServer = FixtureValue(L"UL_SHARE_SERVER");
    const std::wstring csShare = FixtureValue(L"UL_SHARE_NAME");
    return csServer.empty() || csShare.empty() ? std::wstring()
                                               : L"\\\\" + csServer + L"\\" + csShare;
}

// SystemDir and OwnDir call the API themselves, not platform/StringQuery.h:
// they are what the launcher's own queries are compared with.
std::wstring SystemDir()
{
    wchar_t buffer[MAX_PATH] = {};
    const UINT cch = GetSystemDirectoryW(buffer, MAX_PATH);
    EXPECT_TRUE(cch > 0 && cch < MAX_PATH);
    return buffer;
}

std::wstring NativeSystemDir()
{
    // A 32-bit program reaches the 64-bit system directory by this alias only.
    wchar_t buffer[MAX_PATH] = {};
    const UINT cch = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    EXPECT_TRUE(cch > 0 && cch < MAX_PATH);
    return machine::IsWow64() ? std::wstring(buffer) + L"\\Sysnative" : SystemDir();
}

std::wstring SetupFile(const std::wstring& dir)
{
    return dir + L"\\IxaSetup.ini";
}

void WriteSetupFile(const std::string& text, const std::wstring& dir)
{
    WriteBytes(SetupFile(dir), text);
}

void WriteSetupFileUtf16(const std::wstring& text, const std::wstring& dir)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteBytes(SetupFile(dir), bytes);
}

void MakeProduct(const std::wstring& dir, const std::vector<std::wstring>& markers)
{
    for (const std::wstring& marker : markers) {
        Touch(dir + marker);
    }
}

std::wstring OwnDir()
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    EXPECT_TRUE(cch > 0 && cch < MAX_PATH);
    std::wstring path(buffer, cch);
    return path.substr(0, path.rfind(L'\\') + 1);
}

std::vector<std::wstring> CasePaths()
{
    // The product's own places, the drive roots a case is about, and the
    // one folder of everything else.
    std::vector<std::wstring> paths = {logtexts::kLogFile,
                                       SetupFile(),
                                       SetupFile(NativeSystemDir()),
                                       fixture::kPackageDir,
                                       OwnDir() + L"log.ini",
                                       OwnDir() + L"update.zip",
                                       L"C:\\Zof",
                                       L"C:\\Mgr",
                                       L"C:\\Quentabrix.exe",
                                       L"C:\\updater-record.txt",
                                       L"C:\\UnzipLauncher.exe",
                                       L"C:\\update.zip",
                                       kTestRoot};
    // The sample installation's folders, with the product's one above them.
    for (const std::wstring& dir : {fixture::kManageDir, fixture::kProductDir}) {
        paths.push_back(dir.substr(0, dir.rfind(L'\\')));
    }
    if (!FixtureShare().empty()) {
        paths.push_back(FixtureShare() + L"\\Zof");
    }
    // Only on the drives given to the tests: another drive is never touched.
    for (const wchar_t letter : EmptyDrives()) {
        for (const wchar_t* pszDir : {L":\\Zof", L":\\UnzipLauncher-tests"}) {
            paths.push_back(std::wstring(1, letter) + pszDir);
        }
    }
    return paths;
}

bool IsProductPlace(const std::wstring& path)
{
    const auto endsWith = [&path](const std::wstring& end) {
        return path.size() >= end.size() &&
               CompareStringOrdinal(path.c_str() + path.size() - end.size(), -1, end.c_str(), -1,
                                    TRUE) == CSTR_EQUAL;
    };
    return endsWith(L"\\IxaSetup.ini") || endsWith(L"\\Zof");
}

void SandboxTest::SetUp()
{
    // A death test's child runs within its parent's test, whose set-up
    // stands; its current directory may even lie in a place removed here.
    if (!GTEST_FLAG_GET(internal_run_death_test).empty()) {
        return;
    }
    for (const std::wstring& path : CasePaths()) {
        ASSERT_TRUE(RemoveTree(path)) << Utf8(path);
    }
    ResetLogNumbering();
}

void SandboxTest::TearDown()
{
    for (const std::wstring& path : CasePaths()) {
        EXPECT_TRUE(RemoveTree(path)) << Utf8(path);
    }
}

}  // namespace testfiles
