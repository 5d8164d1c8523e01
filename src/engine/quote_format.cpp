#include "engine/quote_format.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/text_file.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

namespace vosko {
namespace {

bool Contains(std::string_view text, std::string_view what) { return text.find(what) != std::string_view::npos; }

// Title or author value of a catalog piece, or nothing if the piece is not such a line.
std::optional<std::string> CatalogValue(std::string_view piece, std::string_view word) {
  if (!Contains(piece, word)) return std::nullopt;
  const std::size_t eq = piece.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string value(piece.substr(eq + 1));
  // Left in its own length: leading spaces move to the end, where the cut at the line end
  // below drops them; on a last line without a line end they stay as trailing spaces.
  AlignText(value, Align::Left, -1);
  value.resize(std::min(value.find('\r'), value.size()));
  value.resize(std::min(value.find('\n'), value.size()));
  return value;
}

}  // namespace

// The C library calls below are not given an empty view: its pointer may be null.
std::string_view CStringPart(std::string_view piece) {
  if (piece.empty()) return piece;
  const void* nul = std::memchr(piece.data(), '\0', piece.size());
  return nul ? piece.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - piece.data())) : piece;
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (line.empty()) return line;
  const void* lf = std::memchr(line.data(), '\n', line.size());
  return lf ? line.substr(0, static_cast<std::size_t>(static_cast<const char*>(lf) - line.data())) : line;
}

std::string_view WithoutComment(std::string_view line) {
  const std::size_t at = line.find("##");
  return at == std::string_view::npos ? line : line.substr(0, at);
}

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

LineKind ClassifyLine(std::string_view prepared) {
  if (IsBlankLine(prepared)) return LineKind::Blank;
  const std::size_t at = prepared.find("@@");
  if (at == std::string_view::npos) return LineKind::Text;
  if (at == 0) {
    // Looked up once: the table is fixed, and a compile classifies every line.
    static const struct {
      std::string_view word;
      LineKind kind;
    } kWords[] = {{TableText(IDS_WORD_HEADER), LineKind::Header},
                  {TableText(IDS_WORD_END), LineKind::End},
                  {TableText(IDS_WORD_LEFT), LineKind::Left},
                  {TableText(IDS_WORD_RIGHT), LineKind::Right},
                  {TableText(IDS_WORD_CENTER), LineKind::Center}};
    for (const auto& w : kWords) {
      if (!w.word.empty() && prepared.starts_with(w.word)) return w.kind;
    }
  }
  return LineKind::OtherDirective;
}

std::optional<std::string_view> DirectiveValue(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return line.substr(eq + 1);
}

std::string_view TrimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return text.substr(0, 0);  // keeps its pointer
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<int> DirectiveNumber(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  if (i >= value.size() || value[i] < '0' || value[i] > '9') return std::nullopt;
  long long n = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    if (n <= static_cast<long long>(INT_MAX) + 1) n = n * 10 + (value[i] - '0');
  }
  if (negative) n = -n;
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

std::optional<CatalogTexts> ReadCatalogTexts(const std::string& path, EngineReport* report, const CodePage* page) {
  TextFile file;
  if (!file.OpenConverted(path, page)) {
    if (report) report->Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Information, ReportOwner::MainWindow);
    return std::nullopt;
  }
  return ReadCatalogTexts(file);
}

CatalogTexts ReadCatalogTexts(TextFile& file) {
  CatalogTexts texts;
  const std::string_view title_word = TableText(IDS_WORD_TITLE);
  const std::string_view author_word = TableText(IDS_WORD_AUTHOR);
  // Both searches start at the top of the file and see the same pieces, so one pass serves.
  for (std::string_view piece;
       !(texts.title_found && texts.author_found) && !(piece = file.ReadPiece(kCatalogLineBuffer)).empty();) {
    const std::string_view line = CStringPart(piece);
    if (!texts.title_found) {
      if (auto v = CatalogValue(line, title_word)) texts.title = std::move(*v), texts.title_found = true;
    }
    if (!texts.author_found) {
      if (auto v = CatalogValue(line, author_word)) texts.author = std::move(*v), texts.author_found = true;
    }
  }
  if (!texts.title_found) texts.title = TableText(IDS_NO_DESCRIPTION);
  return texts;
}

}  // namespace vosko
