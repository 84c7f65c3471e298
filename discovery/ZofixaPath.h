// The product directory: where the update package goes.
#pragma once

#include <string>

// The product directory used as the drive-search pattern and as the result
// when nothing is found.
extern const wchar_t kDefaultZofixaPath[];

// Both marker libraries exist in csPath (a directory string).
bool IsZofixaPath(const std::wstring& csPath);
// The product directory: the setup file's, else the first drive C..Z with the
// fixed layout, else the default. Writes exactly one log entry.
std::wstring FindZofixaPath();
