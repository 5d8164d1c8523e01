// The Compile command: the selected quote files, in list order, become the resource script
// rquotes.r; the compiler the library carries turns it into rquotes.rsc, which replaces the
// host's rquotes.pms in the home directory.  And the compile stamp that Compile and Rescan
// store for each quote file they have read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace vosko {

// The whole command, from the wait cursor to message 57 or the message that says why there
// is no new rquotes.pms.  The bars and the idle text come back on every way out.
void CompileSelected();

// Stores a quote file's count: in the row's entry, its settings record in "VoskoFiles" and
// its "# Quotes" cell.  A compile (rescan false) also sets the compile time to now and shows
// it in the "Compile Date" cell; a rescan keeps the stored compile time.
void StoreCompileStamp(int row, int count, bool rescan);

// The size of a row's quote file as the file system reports it (0 when it has none): what
// the Total bar of a compile or rescan measures against.
std::int64_t RowFileSize(int row);

// Copies the compiled file over the host's one (LZ expansion, so a compressed file is
// expanded): into a temporary file beside `destination` first, which then replaces it.  False,
// with `destination` as it was, when anything fails.
bool CopyCompiledFile(const std::string& source, const std::string& destination);

// Tests only. `spawn` replaces the start of the batch file with the runtime's spawn (its
// result: the exit code, or -1 when it could not be started); `before_run` is called once the
// script and the compiler files are written, in the quote folder, just before the compiler
// runs. Empty functions restore the normal behaviour.
void SetCompilerSpawnForTest(std::function<std::intptr_t()> spawn);
void SetBeforeCompilerRunForTest(std::function<void()> before_run);

}  // namespace vosko
