#include "engine/recompile.h"

#include <cstring>
#include <string_view>

#include "contract/resource_ids.h"

namespace vosko {
namespace {
constexpr std::size_t kChunk = 64 * 1024;
}  // namespace

void RecompileHostQuotes(TextFile& out, const std::string& pmsPath, EngineReport* report) {
  TextFile in;
  if (!in.Open(pmsPath, "r+b")) {
    if (report) report->Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::None);
    return;
  }
  RecompileHostQuotes(out, in, report);
}

void RecompileHostQuotes(TextFile& out, TextFile& in, EngineReport* report) {
  bool inTexts = false;  // past the leading block, which ends with the first byte 255
  for (std::string_view chunk; !(chunk = in.ReadPiece(kChunk + 1)).empty();) {
    if (!inTexts) {
      const void* ff = std::memchr(chunk.data(), 0xFF, chunk.size());
      if (!ff) continue;
      inTexts = true;
      chunk.remove_prefix(static_cast<std::size_t>(static_cast<const char*>(ff) - chunk.data()) + 1);
    }
    // Line feeds stay line feeds (the text-mode output makes them CR LF); stray bytes, a 255
    // or a CR included, are copied so that nothing of a quote is lost.
    while (!chunk.empty()) {
      const void* nul = std::memchr(chunk.data(), 0, chunk.size());
      const std::size_t run =
          nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - chunk.data()) : chunk.size();
      bool ok = out.Write(chunk.substr(0, run));
      if (nul && ok) ok = out.Write("\n\n");
      if (!ok) {
        if (report) report->Report(IDS_FILE_WRITE_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::None);
        return;
      }
      chunk.remove_prefix(nul ? run + 1 : run);
    }
  }
}

}  // namespace vosko
