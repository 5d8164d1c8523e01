// The Compile command: the selected quote files, in list order, become the resource script
// rquotes.r; the compiler the library carries turns it into rquotes.rsc, which replaces the
// host's rquotes.pms in the home directory (win32/commands/compiler_run_win32.h). And the compile
// stamp that Compile and Rescan store for each quote file they have read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vosko {

// The whole command, from the wait cursor to message 57 or the message that says why there
// is no new rquotes.pms.  The bars and the idle text come back on every way out.
void CompileSelected();

// Stores a quote file's count: in the row's entry, its settings record in "VoskoFiles" and
// its "# Quotes" cell.  A compile (rescan false) also sets the compile time to now and shows
// it in the "Compile Date" cell; a rescan keeps the stored compile time.  False when the
// settings record could not be written (the entry and the row have the stamp all the same).
bool StoreCompileStamp(int row, int count, bool rescan);
// Says once, at the end of a run, that stamps were not stored.
void ReportStampsLost();

// The size of a row's quote file as the file system reports it (0 when it has none): what
// the Total bar of a compile or rescan measures against.
std::int64_t RowFileSize(int row);

}  // namespace vosko
