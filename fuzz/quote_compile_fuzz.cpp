// Quote text can never break a compile.  Any bytes as a quote file (some with a header from the
// "host"): the script the writer makes has CR LF line ends, lines the compiler can read, blocks
// that open and close in pairs, and compiles to as many texts as the rescan counts.  The same
// bytes as one quote text: its literal compiles and reads back as typed, with only the
// one-character escapes the user wrote taken as escapes.
#include <cstdlib>
#include <string>

#include "compiler.h"
#include "engine/script_writer.h"
#include "rsc_format.h"
#include "script_literal.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Compiles and decodes; aborts unless the script is accepted.
rescom::RscFile Compile(const std::string& script) {
  static std::string rsc;  // its capacity is kept across inputs
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  auto file = rescom::decode_rsc(rsc);
  Check(outcome.exit_code == rescom::kExitOk && file.has_value() && file->summary.count == outcome.summary.count);
  return *file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The bytes as a quote file, and the script, in memory (by the same text-mode rules as on disk).
  std::string quoteBytes(bytes);
  static std::string scriptBytes;  // emptied by the "w" open; its capacity is kept across inputs
  vosko::TextFile quotes, script;
  vosko::ScriptRun run, countRun;
  Check(quotes.OpenMemory(quoteBytes, "r+t") && script.OpenMemory(scriptBytes, "w+t") &&
        vosko::WriteScriptHeader(script, "d", "t", run, nullptr) && run.script_lines == 26);
  const std::int64_t headerBytes = run.bytes_done;
  vosko::QuoteFileContext context;
  if (size > 0 && data[0] == 'H') context.initial_header = [&] { return std::string(bytes.substr(0, 40)); };
  const int written = vosko::AppendQuoteFile(&script, quotes, "q.lsq", "fuzz", run, context);
  Check(script.Close() && quotes.Rewind());
  const int counted = vosko::AppendQuoteFile(nullptr, quotes, "q.lsq", "fuzz", countRun, {});
  Check(written >= 0 && written == counted && countRun.bytes_done == run.bytes_done - headerBytes);

  std::size_t start = 0, lines = 0, opens = 0, closes = 0;
  // Line by line through find: a script can be a thousand times its quote file.
  for (std::size_t end; (end = scriptBytes.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
    Check(end > 0 && scriptBytes[end - 1] == '\r');  // every line end is CR LF
    const std::string_view line(scriptBytes.data() + start, end - 1 - start);
    Check(line.size() <= 1023);  // 4 + 1014 + 5
    opens += line == "text x";
    closes += line == "   };";
  }
  Check(start == scriptBytes.size() && lines == run.script_lines);  // the script ends with a line end
  Check(opens == closes && opens == static_cast<std::size_t>(written));
  Check(Compile(scriptBytes).summary.count == static_cast<std::uint32_t>(counted));

  // The bytes as one text, as the writer puts it into a string line, the whole way through the
  // compiler and back: the text a user means, their one-character escapes decoded, every other
  // byte as it is, NUL bytes (which no text can hold) left out.
  std::string typed;
  for (std::size_t i = 0; i < size; ++i) {
    const int escaped = i + 1 < size && bytes[i] == '\\' ? rescom::one_char_escape(data[i + 1]) : -1;
    if (escaped >= 0 || bytes[i] != '\0') typed += escaped >= 0 ? static_cast<char>(escaped) : bytes[i];
    if (escaped >= 0) ++i;
  }
  const rescom::RscFile one = Compile("text x {\"" + rescom::escape_quote_text(bytes) + "\\n\"}");
  Check(one.summary.count == 1 && one.text(0) == typed);
  return 0;
}
