#include "engine/import_text.h"

#include <algorithm>
#include <string_view>

#include "engine/quote_format.h"
#include "contract/resource_ids.h"

namespace vosko {

std::int64_t ParseLineLength(std::string_view text) {
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > 0x7FFFFFFF) return 0;
  }
  return value;
}

void ImportTextFile(TextFile& out, const std::string& import_path, std::int64_t line_length, EngineReport* report) {
  TextFile in;
  if (!in.Open(import_path, "rt")) {
    if (report) report->Report(IDS_IMPORT_OPEN_FAILED, 0, ReportIcon::Stop, ReportOwner::MainWindow);
    return;
  }
  ImportTextFile(out, in, line_length);
}

namespace {

// The bytes of the first `count` characters of UTF-8 text (all of it when shorter).
std::size_t CharactersPrefix(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (; at < text.size(); ++at) {
    if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && count-- == 0) break;
  }
  return at;
}

// The length of UTF-8 text without a sequence that its end cuts short.
std::size_t CompleteSequences(std::string_view text) {
  for (std::size_t back = 1; back <= std::min<std::size_t>(4, text.size()); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? text.size() - back : text.size();
  }
  return text.size();
}

}  // namespace

void ImportTextFile(TextFile& out, TextFile& in, std::int64_t line_length) {
  // A text read as UTF-8 is wrapped by characters, never inside one.
  const bool utf8 = in.Target() == TextFile::ReadAs::Utf8;
  std::string carry;  // the start of a character that a long line's piece cut short
  // Pieces are views into the line, so no buffer of line_length bytes is needed, whatever the
  // length; below 2 a piece would hold nothing and the wrap would never advance.
  const std::size_t piece_max = static_cast<std::size_t>(std::max<std::int64_t>(line_length, 2) - 1);
  std::string line;
  line.reserve(kImportLineBuffer + 1);
  // A line's quote is put together first and written in one call: with a short line length
  // a piece may be a single character.
  std::string quote;
  for (std::string_view piece; !(piece = in.ReadPiece(kImportLineBuffer)).empty();) {
    // The space goes after the line feed, so the last piece of a line writes the text, the
    // line feed and the space: the quote's last line is then a line holding one space.
    line.assign(carry).append(piece);
    carry.clear();
    if (utf8 && line.back() != '\n') {
      // Decided on the whole piece: a NUL that ends this piece's text early must not leave the
      // rest of a cut character to start the next piece.
      const std::size_t complete = CompleteSequences(line);
      carry.assign(line, complete);
      line.resize(complete);
    }
    line.resize(CStringPart(line).size());
    line.append(1, ' ');
    quote.clear();
    for (std::string_view rest = line; !rest.empty();) {
      std::string_view cut =
          rest.substr(0, utf8 ? CharactersPrefix(rest, piece_max) : std::min(piece_max, rest.size()));
      const std::size_t space = cut.rfind(' ');
      if (space != std::string_view::npos && space > 0) cut = cut.substr(0, space + 1);
      quote.append(1, '\n').append(cut);
      rest.remove_prefix(cut.size());
    }
    quote.append(1, '\n');
    out.Write(quote);
  }
}

}  // namespace vosko
