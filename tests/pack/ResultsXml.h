// The JUnit XML files of the test binaries, counted and joined into one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CResultsXml {
public:
    // The XML csXml that the binary csName wrote and its exit code. A binary
    // that wrote no XML, or failed with no failed case in it (a crash, a
    // refusal), counts as one failed case of its own.
    void Add(const std::wstring& csName, const std::wstring& csXml, DWORD dwExitCode);
    // One <testsuites> holding every binary's suites.
    bool Write(const std::wstring& csPath) const;

    int GetPassed() const { return m_nPassed; }
    int GetFailed() const { return m_nFailed; }
    int GetSkipped() const { return m_nSkipped; }
    // "Suite.Case: why", one per skipped case.
    const std::vector<std::string>& GetSkips() const { return m_skips; }

private:
    std::string m_csSuites;
    std::vector<std::string> m_skips;
    int m_nPassed = 0;
    int m_nFailed = 0;
    int m_nSkipped = 0;
};
