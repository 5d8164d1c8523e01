// Running the compiler the library carries: writing it and its batch file into the quote
// folder, running the batch there, and putting the compiled file in the host's place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vosko {

// A work file of the compile in the quote folder (string `name_id`); nothing when the path
// would be too long.
std::optional<std::string> InQuoteFolder(UINT name_id);

class OwnedHandle;

// Takes the quote folder's compile lock into `lock`: "rquotes.lck" held open unshared and
// deleted on close, so that two compiles (two windows, or the tool) never write over each
// other's work files. The system lets go of it however the process ends: it is never stale.
// Another compile is waited for about three seconds; false when it still runs (IDS_COMPILE_RUNNING
// shown). A lock file that cannot be made for any other reason does not stop the compile: the
// script's own write says what is wrong with the folder.
bool LockQuoteFolder(OwnedHandle& lock);

// Writes "rescom.exe" (the RESOURCECOMPILER resource, byte for byte) and "rescom.bat" (lines
// IDS_BATCH_FIRST to IDS_BATCH_LAST). False after IDS_COMPILER_LAUNCH_FAILED with the number of
// the step that failed; then neither file is left.
bool WriteCompilerFiles();

// Runs "rescom.exe" in the quote folder, its output going to "rquotes.txt" as the batch file
// would send it, and waits for it; the batch file goes to the shell only when the compiler
// cannot be started directly. The host's current directory is put back afterwards. The exit
// code, or nothing when neither way could start it (IDS_COMPILER_LAUNCH_FAILED with
// kCompilerNotStarted shown).
std::optional<std::intptr_t> RunCompiler();

// Deletes rescom.exe, rescom.bat, rquotes.txt, rquotes.rsc and rquotes.h; rquotes.r stays.
void DeleteCompilerFiles();

// Copies the compiled file over the host's one (LZ expansion, so a compressed file is
// expanded): into a temporary file beside `destination` first, which then replaces it. A
// `destination` that another program holds open is tried again for about two seconds. On
// failure `destination` is as it was and the temporary file is gone.
enum class CopyOutcome { kCopied, kFailed, kInUse };
CopyOutcome CopyCompiledFile(const std::string& source, const std::string& destination);

// Tests only. `spawn` replaces the direct start of the compiler (its result: the exit code,
// or -1 when it could not be started); `before_run` is called once the
// script and the compiler files are written, in the quote folder, just before the compiler
// runs. Empty functions restore the normal behaviour.
void SetCompilerSpawnForTest(std::function<std::intptr_t()> spawn);
void SetBeforeCompilerRunForTest(std::function<void()> before_run);

}  // namespace vosko
