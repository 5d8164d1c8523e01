// Where the lines of rquotes.r that the compiler refused came from: the script is written once
// more into a scratch file with an observer that keeps only the named lines, so memory stays
// flat however large the run.  Shared by the DLL's Compile command and the command-line tool.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/compiler_report.h"
#include "engine/script_writer.h"

namespace vosko {

class ScriptLineOrigins final : public ScriptLineObserver {
 public:
  explicit ScriptLineOrigins(const std::vector<CompilerError>& errors);
  void OnScriptLine(std::uint64_t script_line, std::string_view quote_file, std::uint64_t quote_line) override;
  // The quote file and line of a script line, when it came from one.
  std::optional<std::pair<std::string, std::uint64_t>> Origin(std::uint64_t script_line) const;
  bool Empty() const { return origins_.empty(); }

 private:
  std::map<std::uint64_t, std::pair<std::string, std::uint64_t>> origins_;
};

// Writes the script of the quote files at `paths` (in order) into `scratch_path`, feeding
// `origins`; the header gets empty date and time, which changes no line count.  The scratch
// file is left for the caller to delete.  Stops at the first file that cannot be read.
// `code_page` must be the compile's: converted text may be read in other pieces.
void TraceScriptLines(const std::vector<std::string>& paths, const std::string& scratch_path,
                      const std::function<std::string()>& initial_header, ScriptLineOrigins& origins,
                      const CodePage* code_page = nullptr);

}  // namespace vosko
