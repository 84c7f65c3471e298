#include "Existence.h"

#include <windows.h>

#include <io.h>

// GetFileAttributesW answers what PathFileExistsW answers (which is this call
// under an error mode that keeps the "no disk" dialog away; the framework set
// that mode for the whole run at start), without loading SHLWAPI and all it
// pulls in. It also tells a directory from a file.
bool IsExistingPath(const std::wstring& csPath)
{
    return GetFileAttributesW(csPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsExistingFile(const std::wstring& csPath)
{
    const DWORD dwAttributes = GetFileAttributesW(csPath.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES &&
           (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsAccessiblePath(const std::wstring& csPath)
{
    return _waccess(csPath.c_str(), 0) == 0;
}
