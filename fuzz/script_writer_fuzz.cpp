// The script writer on arbitrary quote files: no crash, counting agrees with writing, every
// script line stays within the compiler's line length, and blocks open and close in pairs.
#include <cstdlib>
#include <string>

#include "engine/script_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Quote file and script in memory, read and written by the same text-mode rules as on disk.
  std::string quoteBytes(reinterpret_cast<const char*>(data), size);
  vosko::TextFile quotes;
  if (!quotes.OpenMemory(quoteBytes, "r+t")) std::abort();
  static std::string bytes;  // emptied by the "w" open; its capacity is kept across inputs
  vosko::TextFile script;
  if (!script.OpenMemory(bytes, "w+t")) std::abort();
  vosko::ScriptRun run;
  if (!vosko::WriteScriptHeader(script, "d", "t", run, nullptr)) std::abort();
  const std::uint64_t headerLines = run.scriptLines;
  vosko::QuoteFileContext context;
  // Some inputs get a header from the "host", taken from their own first bytes.
  if (size > 0 && data[0] == 'H')
    context.initialHeader = [&] { return std::string(data, data + std::min<std::size_t>(size, 40)); };
  const int written = vosko::AppendQuoteFile(&script, quotes, "q.lsq", "fuzz", run, context);
  if (!script.Close() || !quotes.Rewind()) std::abort();
  vosko::ScriptRun countRun;
  const int counted = vosko::AppendQuoteFile(nullptr, quotes, "q.lsq", "fuzz", countRun, {});
  if (written != counted || written < 0) std::abort();
  if (countRun.bytesDone != run.bytesDone) std::abort();

  std::size_t lineStart = 0, lines = 0, opens = 0, closes = 0;
  // Line by line through find: a script can be a thousand times its quote file.
  for (std::size_t i; (i = bytes.find('\n', lineStart)) != std::string::npos;) {
    if (i == 0 || bytes[i - 1] != '\r') std::abort();  // every line end is CR LF
    const std::string_view line(bytes.data() + lineStart, i - 1 - lineStart);
    ++lines;
    if (line.size() > 1023) std::abort();  // 4 + 1014 + 5
    if (line == "text x") ++opens;
    if (line == "   };") ++closes;
    lineStart = i + 1;
  }
  if (lineStart != bytes.size()) std::abort();  // the script ends with a line end
  if (opens != closes || static_cast<int>(opens) != written) std::abort();
  if (lines != run.scriptLines || headerLines != 26) std::abort();
  return 0;
}
