// The Compile command: the selected quote files, in list order, become the resource script
// rquotes.r; the compiler the library carries turns it into rquotes.rsc, which replaces the
// host's rquotes.pms in the home directory. Running the compiler is this command's own helper
// module (win32/commands/compiler_run_win32.h).
#pragma once

namespace vosko {

// The whole command, from the wait cursor to IDS_COMPILE_DONE or the message that says why there
// is no new rquotes.pms.  The bars and the idle text come back on every way out.
void CompileSelected();

}  // namespace vosko
