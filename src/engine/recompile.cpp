#include "engine/recompile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/quote_format.h"
#include "engine/script_writer.h"
#include "contract/resource_ids.h"
#include "script_literal.h"

namespace vosko {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The size of a text line once the script writer has escaped it: a backslash (which it either
// takes as the start of an escape or doubles) and a double quote take two bytes.
std::size_t EscapedSize(std::string_view line) {
  return line.size() + static_cast<std::size_t>(std::count(line.begin(), line.end(), '\\')) +
         static_cast<std::size_t>(std::count(line.begin(), line.end(), '"'));
}

// A directive, a comment and the end of a text file cannot be escaped in a quote line.
bool Unwritable(std::string_view line) {
  return line.find("@@") != std::string_view::npos || line.find("##") != std::string_view::npos ||
         line.find('\x1a') != std::string_view::npos;
}

}  // namespace

bool AppendQuoteLines(std::string_view text, std::string& out) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0;;) {
    const std::size_t lf = text.find('\n', start);
    lines.push_back(text.substr(start, lf == std::string_view::npos ? lf : lf - start));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  // The lines are grouped into quote lines, joined by \n.  best[j] is the grouping of the first
  // j lines with the fewest lines in groups that cannot be read back, then the most groups: each
  // line on its own wherever it can be.  On a tie the earlier grouping is kept, so an empty line
  // joins the line before it.
  struct Best {
    std::size_t lost = SIZE_MAX, groups = 0, from = 0;
  };
  std::vector<Best> best(lines.size() + 1);
  best[0].lost = 0;
  for (std::size_t j = 1; j <= lines.size(); ++j) {
    std::size_t size = 0;
    bool writable = true;
    for (std::size_t i = j; i-- > 0;) {
      const bool single = i + 1 == j;
      size += EscapedSize(lines[i]) + (single ? 0 : 2);
      writable = writable && !Unwritable(lines[i]) && size <= kMaxStringLineContent;
      if (!writable && !single) break;  // a longer group cannot be read back either
      const bool ok = writable && !(single && IsBlankLine(lines[i]));
      const Best candidate{best[i].lost + (ok ? 0 : 1), best[i].groups + 1, i};
      if (candidate.lost < best[j].lost || (candidate.lost == best[j].lost && candidate.groups > best[j].groups)) {
        best[j] = candidate;
      }
    }
  }
  std::vector<std::size_t> ends;
  for (std::size_t j = lines.size(); j > 0; j = best[j].from) ends.push_back(j);
  std::size_t i = 0;
  for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
    for (; i < *end; ++i) {
      const std::string_view line = lines[i];
      for (std::size_t p = 0; p < line.size(); ++p) {
        out += line[p];
        // A backslash before what would make an escape with it is doubled; a single one shows
        // as typed (the writer doubles it), as it always did.
        const char next = p + 1 < line.size() ? line[p + 1] : i + 1 < *end ? '\\' : '\0';
        if (line[p] == '\\' && rescom::one_char_escape(static_cast<unsigned char>(next)) >= 0) out += '\\';
      }
      out += i + 1 < *end ? "\\n" : "\n";
    }
  }
  out += '\n';
  return best[lines.size()].lost == 0;
}

void RecompileHostQuotes(TextFile& out, const std::string& pms_path, EngineReport* report) {
  TextFile in;
  if (!in.Open(pms_path, "rb")) {
    if (report) report->Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::None);
    return;
  }
  RecompileHostQuotes(out, in, report);
}

void RecompileHostQuotes(TextFile& out, TextFile& in, EngineReport* report) {
  bool in_texts = false;  // past the leading block, which ends with the first byte 255
  std::string text, lines;
  const auto written = [&](std::string_view bytes) {
    if (out.Write(bytes)) return true;
    if (report) report->Report(IDS_FILE_WRITE_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::None);
    return false;
  };
  for (std::string_view chunk; !(chunk = in.ReadPiece(kChunk + 1)).empty();) {
    if (!in_texts) {
      const void* ff = std::memchr(chunk.data(), 0xFF, chunk.size());
      if (!ff) continue;
      in_texts = true;
      chunk.remove_prefix(static_cast<std::size_t>(static_cast<const char*>(ff) - chunk.data()) + 1);
    }
    while (!chunk.empty()) {
      const void* nul = std::memchr(chunk.data(), 0, chunk.size());
      const std::size_t run =
          nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - chunk.data()) : chunk.size();
      text.append(chunk.substr(0, run));
      chunk.remove_prefix(nul ? run + 1 : run);
      if (!nul) continue;
      lines.clear();
      AppendQuoteLines(text, lines);
      text.clear();
      if (!written(lines)) return;
    }
  }
  // Bytes after the last text, which no compile writes, are kept as they are.
  if (!text.empty()) written(text);
}

}  // namespace vosko
