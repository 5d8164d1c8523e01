// vosko --codepage: the ANSI code page that Unicode quote files are converted to.  The host
// reads its quotes in the system's code page, so on Windows that is the default.
#ifdef _WIN32
#include <windows.h>
#endif

#include "cli_support.h"
#include "engine/import_text.h"

namespace vosko::cli {

std::optional<const CodePage*> CodePageOption(const CommandLine& line, std::ostream& err) {
  const std::optional<std::string> given = line.Option("--codepage");
  if (!given) {
#ifdef _WIN32
    // A system page vosko has no table for (a multi-byte one) leaves the built-in default.
    if (const CodePage* system = BuiltInCodePage(GetACP())) return system;
#endif
    return BuiltInCodePage(kDefaultCodePage);
  }
  const std::int64_t number = ParseLineLength(*given);  // decimal digits only, else 0
  if (const CodePage* page = BuiltInCodePage(static_cast<unsigned>(number)); page && number > 0) return page;
  Complain(err, IDS_CLI_UNKNOWN_CODEPAGE, {*given});
  return std::nullopt;
}

}  // namespace vosko::cli
