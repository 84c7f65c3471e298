#include "support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "log/DiagLog.h"

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

UpdaterRecord ExpectedUpdaterRecord(const std::string& updater, const std::string& destination,
                                    const std::string& package, const std::string& cwd)
{
    return {{"commandline", "\"" + updater + "\" \"" + destination + "\" \"" + package + "\""},
            {"argc", "3"},
            {"argv[1]", destination},
            {"argv[2]", package},
            {"cwd", cwd},
            {"useshowwindow", "1"},
            {"showwindow", "0"},
            {"finished", "1"}};
}

std::wstring FixtureValue(const wchar_t* name)
{
    // scripts/wine-sandbox passes the fixture of the prefix on.
    constexpr DWORD kChars = 64;
    wchar_t value[kChars] = {};
    const DWORD cch = GetEnvironmentVariableW(name, value, kChars);
    EXPECT_TRUE(cch > 0 && cch < kChars) << Utf8(name) << " is not set";
    return std::wstring(value, cch < kChars ? cch : 0);
}

std::wstring EmptyDrives()
{
    return FixtureValue(L"UL_EMPTY_DRIVES");
}

std::wstring NoMediumDrive()
{
    return FixtureValue(L"UL_NO_MEDIUM_DRIVE") + L":";
}

std::wstring FixtureShare()
{
    return L"\\\\" + FixtureValue(L"UL_SHARE_SERVER") + L"\\" + FixtureValue(L"UL_SHARE_NAME");
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

std::wstring SetupFile()
{
    return SystemDir() + L"\\IxaSetup.ini";
}

void WriteSetupFile(const std::string& text)
{
    WriteBytes(SetupFile(), text);
}

void WriteSetupFileUtf16(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteBytes(SetupFile(), bytes);
}

void MakeProduct(const std::wstring& dir)
{
    Touch(dir + L"Halvo.dll");
    Touch(dir + L"Murtelan.dll");
}

std::wstring OwnDir()
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    EXPECT_TRUE(cch > 0 && cch < MAX_PATH);
    std::wstring path(buffer, cch);
    return path.substr(0, path.rfind(L'\\') + 1);
}

void SandboxTest::SetUp()
{
    Clean();
    ResetLogNumbering();
}

void SandboxTest::TearDown()
{
    Clean();
}

std::vector<std::wstring> SharedPaths()
{
    std::vector<std::wstring> paths = {kLogFilePath, SetupFile(), L"C:\\Zof", OwnDir() + L"log.ini",
                                       OwnDir() + L"update.zip"};
    for (const wchar_t letter : EmptyDrives()) {
        paths.push_back(std::wstring(1, letter) + L":\\Zof");
    }
    return paths;
}

std::wstring GuardProblem(bool bTestMachine)
{
    if (!bTestMachine) {
        return L"these tests write and remove the system directory's IxaSetup.ini, "
               L"c:\\log.ini and C:\\Zof: run them only on a test machine, with --test-machine";
    }
    for (const std::wstring& path : SharedPaths()) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return path + L" exists, and these tests would remove it (is the product installed?)";
        }
    }
    return std::wstring();
}

void SandboxTest::Clean()
{
    std::vector<std::wstring> paths = SharedPaths();
    paths.insert(paths.end(), m_owned.begin(), m_owned.end());
    for (const std::wstring& path : paths) {
        std::error_code ec;
        fs::remove_all(fs::path(path), ec);
    }
}

}  // namespace testfiles
