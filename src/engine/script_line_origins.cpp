#include "engine/script_line_origins.h"

namespace vosko {

ScriptLineOrigins::ScriptLineOrigins(const std::vector<CompilerError>& errors) {
  for (const CompilerError& error : errors) {
    if (error.scriptLine != 0) origins_[error.scriptLine];
  }
}

void ScriptLineOrigins::OnScriptLine(std::uint64_t scriptLine, std::string_view quoteFile, std::uint64_t quoteLine) {
  auto found = origins_.find(scriptLine);
  if (found != origins_.end()) found->second = {std::string(quoteFile), quoteLine};
}

std::optional<std::pair<std::string, std::uint64_t>> ScriptLineOrigins::Origin(std::uint64_t scriptLine) const {
  auto found = origins_.find(scriptLine);
  if (found == origins_.end() || found->second.second == 0) return std::nullopt;
  return found->second;
}

void TraceScriptLines(const std::vector<std::string>& paths, const std::string& scratchPath,
                      const std::function<std::string()>& initialHeader, ScriptLineOrigins& origins) {
  if (origins.Empty()) return;
  TextFile scratch;
  ScriptRun run;
  if (!WriteScriptHeader(scratch, scratchPath, "", "", run, nullptr)) return;
  QuoteFileContext context;
  context.initialHeader = initialHeader;
  context.lines = &origins;
  for (const std::string& path : paths) {
    if (AppendQuoteFile(&scratch, path, "", run, context) < 0) break;
  }
}

}  // namespace vosko
