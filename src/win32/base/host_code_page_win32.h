// The host's ANSI code page, as every command converts a Unicode quote file's text for the
// host and the ANSI list view: the system's (GetACP), built in when the engine knows it,
// otherwise asked of the system itself, so that a double-byte system converts too.
#pragma once

#include "engine/text_encoding.h"

#include <memory>

namespace vosko {

// Lives as long as the library.
const CodePage& HostCodePage();

// The system's own conversion of code page `number`, as HostCodePage uses it for a page the
// engine has no table for.
std::unique_ptr<CodePage> SystemCodePage(unsigned number);

}  // namespace vosko
