// Recompile of arbitrary compiled files, and the new quote file compiled again: the script
// always compiles, to the rescan's count, and gives back every text (each NUL-ended run of
// bytes after the first 255) in order whenever a quote can carry each of them.
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/recompile.h"
#include "engine/script_writer.h"
#include "compiler.h"
#include "rsc_format.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Every file in memory, by the same rules as on disk.
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string pmsBytes(input);
  static std::string quoteBytes, scriptBytes, rsc;  // emptied by each "w" open; capacity kept
  vosko::TextFile pms, quotes, script;
  Check(pms.OpenMemory(pmsBytes, "rb") && quotes.OpenMemory(quoteBytes, "w+t"));
  vosko::RecompileHostQuotes(quotes, pms, nullptr);
  Check(!quotes.Failed() && quotes.Rewind() && script.OpenMemory(scriptBytes, "w+t"));
  vosko::ScriptRun run;
  Check(vosko::WriteScriptHeader(script, "d", "t", run, nullptr));
  const int count = vosko::AppendQuoteFile(&script, quotes, "new.lsq", "fuzz", run, {});
  Check(script.Close());
  const rescom::CompileOutcome outcome = rescom::compile_bytes(scriptBytes, rsc);
  Check(outcome.exit_code == rescom::kExitOk);
  const auto file = rescom::decode_rsc(rsc);
  Check(file.has_value() && file->summary.count == static_cast<std::uint32_t>(count));

  std::vector<std::string_view> texts;
  bool exact = true;
  std::string lines;
  if (const std::size_t ff = input.find('\xff'); ff != std::string_view::npos) {
    std::string_view rest = input.substr(ff + 1);
    for (std::size_t nul; (nul = rest.find('\0')) != std::string_view::npos; rest.remove_prefix(nul + 1)) {
      texts.push_back(rest.substr(0, nul));
      exact = vosko::AppendQuoteLines(texts.back(), lines) && exact;
    }
    exact = exact && rest.empty();  // bytes after the last text are copied, not a quote
  }
  if (!exact) return 0;
  Check(file->summary.count == texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) Check(file->text(i) == texts[i]);
  return 0;
}
