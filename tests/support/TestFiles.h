// Real files and the machine, for the unit tests and the end-to-end cases.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/Utf8.h"

namespace testfiles {

// Where the tests put what only needs to be some folder: one name nobody
// would take for the product's.
inline const std::wstring kTestRoot = L"C:\\UnzipLauncher-tests";

// What the system writes into INI files: bytes, CRLF included.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// Creates an empty file, and its folders.
void Touch(const std::wstring& path);
void MakeDirs(const std::wstring& path);
bool Exists(const std::wstring& path);
// Removes path and everything below it, at any length; true when it is gone.
bool RemoveTree(const std::wstring& path);

// What the updater stand-in recorded, one "name=value" line each, as a map
// to compare whole; empty when it never ran.
using UpdaterRecord = std::map<std::string, std::string>;
UpdaterRecord ReadUpdaterRecord(const std::wstring& path);
// What the stand-in records when started as the launcher must start it:
// hidden, the raw command line ending in the two quoted arguments.
UpdaterRecord ExpectedUpdaterRecord(const std::wstring& updater, const std::wstring& destination,
                                    const std::wstring& package, const std::wstring& cwd);

// The prefix's layout, from the environment: the letters of the empty drives
// (lower case), the drive without a medium ("d:") and the share
// (\\srv\share, without a trailing backslash); each empty where the machine
// has none.
std::wstring FixtureValue(const wchar_t* name);
std::wstring EmptyDrives();
// Which of the drive letters (lower case) are not empty drives to use here.
std::wstring LackingDrives(const std::wstring& letters);
std::wstring NoMediumDrive();
std::wstring FixtureShare();

// The system directory as this 32-bit program sees it (SysWOW64 under
// WoW64), and the 64-bit one on 64-bit Windows (through Sysnative).
std::wstring SystemDir();
std::wstring NativeSystemDir();
std::wstring SetupFile(const std::wstring& dir = SystemDir());
// The setup file from ANSI text, or as UTF-16LE with a byte-order mark.
void WriteSetupFile(const std::string& text, const std::wstring& dir = SystemDir());
void WriteSetupFileUtf16(const std::wstring& text, const std::wstring& dir = SystemDir());

// A product directory: dir (ending in a backslash) with the marker libraries.
void MakeProduct(const std::wstring& dir,
                 const std::vector<std::wstring>& markers = {L"Halvo.dll", L"Murtelan.dll"});

// The folder of the running test program, with its trailing backslash.
std::wstring OwnDir();

// Every place a test may create, removed before and after each test; the
// runner's guard refuses where any exists and its restore removes them all.
std::vector<std::wstring> CasePaths();
// Whether a place is the product's own, so that finding it suggests an
// installed product.
bool IsProductPlace(const std::wstring& path);

// Removes before and after each test what the tests may have left.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace testfiles

// Skips the test, returning from the function it is written in, unless each
// of the letters is an empty drive it may use. In SetUp, nothing after it
// runs; GoogleTest then skips the body.
#define REQUIRE_DRIVES(letters)                                                                   \
    if (const std::wstring csLacking_ = ::testfiles::LackingDrives(letters); !csLacking_.empty()) \
    GTEST_SKIP() << "needs the empty drives " << Utf8(csLacking_) << " of a test machine"
