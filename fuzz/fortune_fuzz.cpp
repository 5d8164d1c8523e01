// Fortune files of arbitrary bytes: the reader takes anything; what it reads, written again,
// reads back the same; and each fortune made a quote compiles back to its text unless the
// import said what it changed.
#include <cstdlib>
#include <string>
#include <vector>

#include "compiler.h"
#include "engine/fortune.h"
#include "engine/script_writer.h"
#include "rsc_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<vosko::Fortune> fortunes =
      vosko::ReadFortunes(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string written, quotes;
  std::vector<vosko::FortuneFixAt> fixes;
  for (const vosko::Fortune& fortune : fortunes) {
    if (vosko::AppendFortune(fortune.text, written) != 0) std::abort();
    vosko::AppendFortuneQuote(fortune, quotes, fixes);
  }
  const std::vector<vosko::Fortune> again = vosko::ReadFortunes(written);
  if (again.size() != fortunes.size()) std::abort();
  for (std::size_t i = 0; i < again.size(); ++i)
    if (again[i].text != fortunes[i].text) std::abort();
  if (!fixes.empty()) return 0;
  // The quote file written and read in text mode, as on disk, and compiled with the texts alone.
  std::string file, script, rsc;
  vosko::TextFile in, out;
  vosko::ScriptRun run;
  vosko::QuoteFileContext context;
  context.texts_only = true;
  if (!in.OpenMemory(file, "w+t") || !in.Write(quotes) || !in.Rewind() || !out.OpenMemory(script, "wb")) std::abort();
  if (vosko::AppendQuoteFile(&out, in, "f", "f", run, context) != static_cast<int>(fortunes.size())) std::abort();
  out.Close();
  if (rescom::compile_bytes(script, rsc).exit_code != rescom::kExitOk) std::abort();
  const auto compiled = rescom::decode_rsc(rsc);
  if (!compiled || compiled->offsets.size() != fortunes.size()) std::abort();
  for (std::size_t i = 0; i < fortunes.size(); ++i)
    if (compiled->text(i) != fortunes[i].text) std::abort();
  return 0;
}
