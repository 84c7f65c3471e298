// The two existence tests the launcher uses: the shell's path test for what
// it checks before the start, and the runtime's access test for the markers.
#pragma once

#include <string>

// A file or a directory is there.
bool IsExistingPath(const std::wstring& csPath);
// A file, not a directory, is there.
bool IsExistingFile(const std::wstring& csPath);
// The runtime's test (_waccess): true for files and directories alike.
bool IsAccessiblePath(const std::wstring& csPath);
