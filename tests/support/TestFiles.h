// Real files for the unit tests. The tests run in a throwaway Wine prefix
// (scripts/wine-sandbox): C:\bin holds the test programs and is the current
// directory; the other drives are those of scripts/lib/fixture.env.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/Utf8.h"

namespace testfiles {

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
UpdaterRecord ExpectedUpdaterRecord(const std::string& updater, const std::string& destination,
                                    const std::string& package, const std::string& cwd);

// The prefix's layout, from the fixture: the letters of the empty drives
// (lower case), the drive without a medium ("d:") and the share
// (\\srv\share, without a trailing backslash); each empty where the machine
// has none.
std::wstring FixtureValue(const wchar_t* name);
std::wstring EmptyDrives();
// Which of the drive letters (lower case) are not empty drives to use here.
std::wstring LackingDrives(const std::wstring& letters);
std::wstring NoMediumDrive();
std::wstring FixtureShare();
std::wstring SystemDir();
std::wstring SetupFile();
// The setup file from ANSI text, or as UTF-16LE with a byte-order mark.
void WriteSetupFile(const std::string& text);
void WriteSetupFileUtf16(const std::wstring& text);

// A product directory: dir (ending in a backslash) with both marker libraries.
void MakeProduct(const std::wstring& dir);

// The folder of the running test program, with its trailing backslash.
std::wstring OwnDir();

// The shared places the tests write to and SandboxTest removes: the log, the
// setup file, product folders on C: and the empty drives, a stale log and a
// package beside the test program.
std::vector<std::wstring> SharedPaths();

// Why the tests must not run on this machine, or empty when they may: they
// run only when told that this is a test machine (bTestMachine, from the
// flag --test-machine), and never where any shared place exists before
// them, since removing it might remove an installed product.
std::wstring GuardProblem(bool bTestMachine);

// Removes after each test what the tests may have left in shared places.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Removed again when the test ends.
    void Own(const std::wstring& path) { m_owned.push_back(path); }
    // Skips the test unless each of the letters is an empty drive it may use.
    void RequireDrives(const std::wstring& csLetters);

private:
    void Clean();
    std::vector<std::wstring> m_owned;
};

}  // namespace testfiles
