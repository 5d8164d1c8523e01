#include "engine/script_line_origins.h"

namespace vosko {

ScriptLineOrigins::ScriptLineOrigins(const std::vector<CompilerError>& errors) {
  for (const CompilerError& error : errors) {
    if (error.script_line != 0) origins_[error.script_line];
  }
}

void ScriptLineOrigins::OnScriptLine(std::uint64_t script_line, std::string_view quote_file, std::uint64_t quote_line) {
  auto found = origins_.find(script_line);
  if (found != origins_.end()) found->second = {std::string(quote_file), quote_line};
}

std::optional<std::pair<std::string, std::uint64_t>> ScriptLineOrigins::Origin(std::uint64_t script_line) const {
  auto found = origins_.find(script_line);
  if (found == origins_.end() || found->second.second == 0) return std::nullopt;
  return found->second;
}

void TraceScriptLines(const std::vector<std::string>& paths, const std::string& scratch_path,
                      const std::function<std::string()>& initial_header, ScriptLineOrigins& origins,
                      const CodePage* code_page) {
  if (origins.Empty()) return;
  TextFile scratch;
  ScriptRun run;
  if (!WriteScriptHeader(scratch, scratch_path, "", "", run, nullptr)) return;
  QuoteFileContext context;
  context.initial_header = initial_header;
  context.lines = &origins;
  context.code_page = code_page;
  for (const std::string& path : paths) {
    if (AppendQuoteFile(&scratch, path, "", run, context) < 0) break;
  }
}

}  // namespace vosko
