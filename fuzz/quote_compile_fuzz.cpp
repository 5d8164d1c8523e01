// Quote text can never break a compile.  Any bytes as a quote file (some with a header from the
// "host"): the script the writer makes compiles, to as many texts as the rescan counts.  The
// same bytes as one quote text: its literal compiles and reads back as typed, with only the
// one-character escapes the user wrote taken as escapes.
#include <cstdlib>
#include <string>
#include <utility>

#include "engine/script_writer.h"
#include "compiler.h"
#include "rsc_format.h"
#include "script_parser.h"
#include "script_literal.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The text a user means by `typed`: their one-character escapes decoded, every other byte as
// it is, NUL bytes (which no text can hold) left out.
std::string AsTyped(std::string_view typed) {
  std::string text;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    if (typed[i] == '\0') continue;
    if (typed[i] == '\\' && i + 1 < typed.size()) {
      if (const int byte = rescom::one_char_escape(static_cast<unsigned char>(typed[i + 1])); byte >= 0) {
        text += static_cast<char>(byte);
        ++i;
        continue;
      }
    }
    text += typed[i];
  }
  return text;
}

// Compiles and decodes; aborts unless the script is accepted.
rescom::RscFile Compile(const std::string& script, std::string& rsc) {
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  Check(outcome.exit_code == rescom::kExitOk);
  auto file = rescom::decode_rsc(rsc);
  Check(file.has_value() && file->summary.count == outcome.summary.count);
  return *file;
}

// A parse's texts, unwanted: only whether the script is accepted, and with how many, counts.
class NoTexts : public rescom::TextSink {
 public:
  void begin(std::uint32_t) override {}
  void append(const char*, std::size_t) override {}
  void end(std::uint64_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The bytes as a quote file (in memory, by the same text-mode rules as on disk).
  std::string quoteBytes(bytes);
  vosko::TextFile quotes;
  Check(quotes.OpenMemory(quoteBytes, "r+t"));
  // The script's header is the same for every input: it is written once, and each script
  // starts as a copy of it.
  static const auto header = [] {
    std::pair<std::string, vosko::ScriptRun> made;
    vosko::TextFile file;
    Check(file.OpenMemory(made.first, "w+t") && vosko::WriteScriptHeader(file, "d", "t", made.second, nullptr) &&
          file.Close());
    return made;
  }();
  static std::string scriptBytes;  // its capacity is kept across inputs
  scriptBytes.assign(header.first);
  vosko::TextFile script;
  Check(script.OpenMemory(scriptBytes, "a+t"));
  vosko::ScriptRun run = header.second;
  vosko::QuoteFileContext context;
  if (size > 0 && data[0] == 'H') context.initialHeader = [&] { return std::string(bytes.substr(0, 40)); };
  const int written = vosko::AppendQuoteFile(&script, quotes, "q.lsq", "fuzz", run, context);
  Check(script.Close() && quotes.Rewind());
  vosko::ScriptRun countRun;
  const int counted = vosko::AppendQuoteFile(nullptr, quotes, "q.lsq", "fuzz", countRun, {});
  Check(written >= 0 && written == counted);

  // The compiler accepts a script when its parse finds no error; its second pass reads the
  // same bytes again and cannot disagree. So one parse proves that the script compiles.
  rescom::ScriptInput input(scriptBytes);
  NoTexts texts;
  const rescom::ParseResult parsed = rescom::parse_script(input, texts);
  Check(parsed.errors.empty() && parsed.resources == static_cast<std::uint64_t>(counted));

  // The bytes as one text, as the writer puts it into a string line, the whole way through the
  // compiler and back.
  static std::string rsc;
  const rescom::RscFile one = Compile("text x {\"" + rescom::escape_quote_text(bytes) + "\\n\"}", rsc);
  Check(one.summary.count == 1 && one.text(0) == AsTyped(bytes));
  return 0;
}
