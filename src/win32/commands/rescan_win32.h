// The Rescan command: every quote file of the list is counted again with the compile's own
// reader, without writing a script, and its count stored; compile dates stay as they were.
#pragma once

namespace vosko {

void RescanAll();

}  // namespace vosko
