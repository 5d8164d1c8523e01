// Arbitrary bytes through the resource compiler. Beyond "no crash, no leak, no undefined
// behaviour" it checks what the DLL relies on: an accepted script gives a file that decodes
// and whose report line is the first line with the marker; a refused one gives no file, errors
// that all carry a line inside the script, and no line the DLL could take for a report. The
// same bytes read in small pieces must give the same result as read whole.
#include "compiler.h"
#include "report.h"
#include "rsc_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  const std::uint64_t script_lines = 1 + static_cast<std::uint64_t>(std::count(script.begin(), script.end(), '\n'));

  std::string rsc;
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  check(!outcome.lines.empty());
  if (outcome.exit_code == rescom::kExitOk) {
    const auto file = rescom::decode_rsc(rsc);
    check(file.has_value() && file->summary.count == outcome.summary.count);
    check(outcome.lines.size() == 1 && rescom::contains_marker(outcome.lines[0]));
    check(outcome.lines[0] == rescom::summary_line(outcome.summary.count, outcome.summary.largest));
  } else {
    check(outcome.exit_code == rescom::kExitScriptErrors && rsc.empty());
    check(outcome.lines.size() >= 2 && outcome.lines.size() <= rescom::kMaxErrors + 1);
    for (std::size_t i = 0; i < outcome.lines.size(); ++i) {
      const std::string& line = outcome.lines[i];
      check(!rescom::contains_marker(line));
      if (i + 1 == outcome.lines.size()) break;  // the summary
      // "rquotes.r(LINE): error: ..." with 1 <= LINE <= lines in the script.
      std::size_t at = 10;
      std::uint64_t number = 0;
      for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at)
        number = number * 10 + static_cast<unsigned>(line[at] - '0');
      check(line.starts_with("rquotes.r(") && at > 10 && number >= 1 && number <= script_lines &&
            line.compare(at, 10, "): error: ") == 0);
    }
  }

  // Chunk boundaries anywhere: piece sizes from 1 to 8, chosen by the input itself.
  const std::size_t piece = size == 0 ? 1 : 1 + data[size - 1] % 8;
  std::string chunked;
  const rescom::CompileOutcome again = rescom::compile_bytes(script, chunked, "rquotes.r", "rquotes.rsc", piece);
  check(again.exit_code == outcome.exit_code && again.lines == outcome.lines && chunked == rsc);
  return 0;
}
