// The export and catalog readers on arbitrary quote files.
#include <cstdlib>
#include <string>

#include "engine/export_quotes.h"
#include "engine/quote_format.h"
#include "engine/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The quote file and the export file in memory, by the same text-mode rules as on disk.
  std::string quoteBytes(reinterpret_cast<const char*>(data), size);
  static std::string bytes;  // emptied by the "w" open; its capacity is kept across inputs
  vosko::TextFile quotes, out;
  if (!quotes.OpenMemory(quoteBytes, "r+t")) std::abort();
  const vosko::CatalogTexts texts = vosko::ReadCatalogTexts(quotes);
  if (texts.title.size() > 258 || texts.author.size() > 258 || texts.title.find('\n') != std::string::npos ||
      texts.author.find('\r') != std::string::npos || !out.OpenMemory(bytes, "w+t") || !quotes.Rewind())
    std::abort();
  vosko::ExportRun run;
  run.out = &out;
  const int count = vosko::ExportQuoteFile(run, quotes, "fuzz");
  if (!out.Close() || count < 0 || (count == 0 && !bytes.empty()) || bytes.find("@@") != std::string::npos)
    std::abort();
  // One line per quote, no line end after the last, no comment or directive left.
  std::size_t lineEnds = 0;
  for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) ++lineEnds;
  if (count > 0 && lineEnds + 1 < static_cast<std::size_t>(count)) std::abort();
  return 0;
}
