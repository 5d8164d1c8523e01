// The host's ANSI code page, as every command converts a Unicode quote file's text for the
// host and the ANSI list view: the system's (GetACP), built in when the engine knows it,
// otherwise asked of the system itself, so that a double-byte system converts too.
#pragma once

#include "engine/text_encoding.h"

namespace vosko {

// Lives as long as the library.
const CodePage& HostCodePage();

}  // namespace vosko
