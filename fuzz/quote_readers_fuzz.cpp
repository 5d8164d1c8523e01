// The export and catalog readers on arbitrary quote files.
#include <cstdlib>
#include <string>

#include "engine_fuzz_files.h"
#include "exchange/export_quotes.h"
#include "quotes/quote_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string quotes = vosko::fuzz::WriteScratch("q.lsq", data, size);
  const auto texts = vosko::ReadCatalogTexts(quotes, nullptr);
  if (!texts) std::abort();
  if (texts->title.size() > 258 || texts->author.size() > 258) std::abort();
  if (texts->title.find('\n') != std::string::npos || texts->author.find('\r') != std::string::npos) std::abort();

  const std::string exportPath = vosko::fuzz::ScratchPath("export.txt");
  vosko::TextFile out;
  if (!out.Open(exportPath, "w+t")) std::abort();
  vosko::ExportRun run;
  run.out = &out;
  const int count = vosko::ExportQuoteFile(run, quotes, "fuzz");
  out.Close();
  if (count < 0) std::abort();
  const std::string bytes = vosko::fuzz::ReadScratch(exportPath);
  // One line per quote, no line end after the last, no comment or directive left.
  std::size_t lineEnds = 0;
  for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) ++lineEnds;
  if (count > 0 && lineEnds + 1 < static_cast<std::size_t>(count)) std::abort();
  if (count == 0 && !bytes.empty()) std::abort();
  if (bytes.find("@@") != std::string::npos) std::abort();
  return 0;
}
