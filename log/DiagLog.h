// The diagnostic log: numbered entries in section "LOG" of "c:\log.ini".
// It is write-only and the program's only trace, so every decision of a run
// goes here.
#pragma once

#include <string>

// Writes csMessage under the next entry number (0, 1, ... in each process).
// Entry 0 first removes every section LOG, with every entry of earlier runs.
// A failed write is ignored: the entry is lost and the number still used.
void WriteLog(const std::wstring& csMessage);

// Numbering starts again at 0, as it does in a new process. A test seam:
// the unit tests run many "runs" in one process; the program never calls it.
void ResetLogNumbering();

// The fixed place of the log.
extern const wchar_t kLogFilePath[];
