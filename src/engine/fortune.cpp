#include "engine/fortune.h"

#include <algorithm>

#include "engine/quote_format.h"
#include "engine/recompile.h"
#include "engine/script_writer.h"

namespace vosko {
namespace {

constexpr std::string_view kBlanks = " \t\r";

bool IsBlankText(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// The line without the CRs that end it.
std::string_view WithoutCarriageReturns(std::string_view line) {
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Calls `each` with every line of `text` (split at LF; an empty text is one empty line).
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  for (std::size_t start = 0;;) {
    const std::size_t lf = text.find('\n', start);
    each(text.substr(start, lf == std::string_view::npos ? lf : lf - start));
    if (lf == std::string_view::npos) return;
    start = lf + 1;
  }
}

// How long a quote line is once the compile has escaped it, as AppendQuoteLines counts: a
// backslash and a double quote may take two bytes.
std::size_t EscapedSize(std::string_view line) {
  return line.size() + static_cast<std::size_t>(std::count(line.begin(), line.end(), '\\')) +
         static_cast<std::size_t>(std::count(line.begin(), line.end(), '"'));
}

// Where to break a line that is over the compile's bound: after the last space that leaves a
// first part with text in it, else at the bound itself.
std::size_t BreakPoint(std::string_view line) {
  std::size_t fits = 0;
  for (std::size_t size = 0; fits < line.size(); ++fits) {
    size += line[fits] == '\\' || line[fits] == '"' ? 2 : 1;
    if (size > kMaxStringLineContent) break;
  }
  const std::size_t space = line.substr(0, fits).rfind(' ');
  if (space != std::string_view::npos && !IsBlankLine(line.substr(0, space))) return space + 1;
  // Never inside a UTF-8 sequence (in ANSI text the cut only comes a little earlier).
  std::size_t cut = fits;
  while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

}  // namespace

bool IsFortuneSeparator(std::string_view line) {
  return !line.empty() && line[0] == '%' && line.find_first_not_of(kBlanks, 1) == std::string_view::npos;
}

std::vector<Fortune> ReadFortunes(std::string_view bytes) {
  while (!bytes.empty() && bytes.back() == '\x1a') bytes.remove_suffix(1);
  if (!bytes.empty() && bytes.back() == '\n') bytes.remove_suffix(1);  // the last line's end
  std::vector<Fortune> fortunes;
  Fortune current;
  std::size_t lines = 0;  // in the current fortune
  const auto finish = [&] {
    if (lines > 0 && !IsBlankText(current.text)) fortunes.push_back(std::move(current));
    current = Fortune{};
    lines = 0;
  };
  std::uint64_t line_no = 0;
  if (bytes.empty()) return fortunes;
  ForEachLine(bytes, [&](std::string_view line) {
    ++line_no;
    line = WithoutCarriageReturns(line);
    if (IsFortuneSeparator(line)) return finish();
    if (lines++ == 0) {
      current.line = line_no;
    } else {
      current.text += '\n';
    }
    current.text.append(line);
  });
  finish();
  return fortunes;
}

int AppendFortune(std::string_view text, std::string& out) {
  if (IsBlankText(text)) return -1;
  int changed = 0;
  ForEachLine(text, [&](std::string_view line) {
    const std::string_view kept = WithoutCarriageReturns(line);
    const bool separator = IsFortuneSeparator(kept);
    if (separator || kept.size() != line.size()) ++changed;
    if (separator) out += ' ';
    out.append(kept).append(1, '\n');
  });
  out += "%\n";
  return changed;
}

void AppendFortuneQuote(const Fortune& fortune, std::string& out, std::vector<FortuneFixAt>& fixes) {
  const auto fixed = [&](FortuneFix fix, std::uint64_t line) {
    for (auto at = fixes.rbegin(); at != fixes.rend() && at->line == line; ++at) {
      if (at->fix == fix) return;
    }
    fixes.push_back({fix, line});
  };
  std::string text, line;
  std::uint64_t line_no = fortune.line;
  ForEachLine(fortune.text, [&](std::string_view typed) {
    line.clear();
    for (char c : typed) {
      if (c == '\0' || c == '\x1a') {
        fixed(FortuneFix::ByteDropped, line_no);
        continue;
      }
      // Nothing in a quote line escapes "##" or "@@"; a space between keeps the rest of the
      // line, and the quote, whole.
      if ((c == '#' || c == '@') && !line.empty() && line.back() == c) {
        line += ' ';
        fixed(FortuneFix::PairSplit, line_no);
      }
      line += c;
    }
    std::string_view rest = line;
    while (EscapedSize(rest) > kMaxStringLineContent) {
      const std::size_t cut = BreakPoint(rest);
      text.append(rest.substr(0, cut)).append(1, '\n');
      rest.remove_prefix(cut);
      fixed(FortuneFix::LineBroken, line_no);
    }
    text.append(rest).append(1, '\n');
    ++line_no;
  });
  text.pop_back();  // the fortune's last line has no line end
  if (!AppendQuoteLines(text, out)) fixed(FortuneFix::NotExact, fortune.line);
}

}  // namespace vosko
