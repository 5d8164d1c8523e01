#include "engine/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vosko {
namespace {

struct PageTable {
  unsigned number;
  char16_t high[128];  // the characters of bytes 0x80 to 0xFF
};
struct Decomposition {
  char16_t character;
  char16_t base;  // the first character of its canonical decomposition
};

#include "code_pages_data.inc"

constexpr char32_t kReplacement = 0xFFFD;

// Eight bytes at a time: text that is mostly ASCII (every quote file in English) is passed
// over at memory speed by the detector and the converters alike.
std::size_t AsciiRun(std::string_view bytes, std::size_t at) {
  const std::size_t size = bytes.size();
  while (at + 8 <= size) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, 8);
    if (word & 0x8080808080808080ull) break;
    at += 8;
  }
  while (at < size && static_cast<unsigned char>(bytes[at]) < 0x80) ++at;
  return at;
}

// One UTF-8 sequence at `at`: its character and length, or length 0 when the bytes there are
// not a well-formed sequence (overlong forms, surrogates and values past U+10FFFF included).
struct Decoded {
  char32_t character;
  std::size_t length;
};
Decoded DecodeUtf8(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
  const unsigned char lead = byte(0);
  const std::size_t left = bytes.size() - at;
  const auto trail = [&](std::size_t i) { return i < left && (byte(i) & 0xC0) == 0x80; };
  if (lead < 0x80) return {lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (!trail(1)) return {0, 0};
    return {char32_t((lead & 0x1Fu) << 6 | (byte(1) & 0x3Fu)), 2};
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!trail(1) || !trail(2)) return {0, 0};
    const char32_t c = (lead & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
    return {c, 3};
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!trail(1) || !trail(2) || !trail(3)) return {0, 0};
    const char32_t c = (lead & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 | (byte(3) & 0x3Fu);
    if (c < 0x10000 || c > 0x10FFFF) return {0, 0};
    return {c, 4};
  }
  return {0, 0};
}

void AppendUtf16Unit(char16_t unit, bool big_endian, std::string& out) {
  const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
  out += big_endian ? high : low;
  out += big_endian ? low : high;
}

// The plain form of a typographic character, for a page that lacks it.
std::string_view PlainForm(char32_t c) {
  switch (c) {
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032:
    case 0x2039:
    case 0x203A:
      return "'";
    case 0x00AB:
    case 0x00BB:
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2033:
      return "\"";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
      return "-";
    case 0x2026:
      return "...";
    case 0x00A0:
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
    case 0x2004:
    case 0x2005:
    case 0x2006:
    case 0x2007:
    case 0x2008:
    case 0x2009:
    case 0x200A:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return " ";
    default:
      return {};
  }
}

class TableCodePage final : public CodePage {
 public:
  explicit TableCodePage(const PageTable& table) : table_(table) {
    // Two levels, the first by the character's high byte: a few blocks of 256 hold a page.
    block_of_.fill(0);
    blocks_.assign(256, 0);  // block 0: no character of the page
    for (unsigned i = 0; i < 128; ++i) {
      const char16_t c = table.high[i];
      if (block_of_[c >> 8] == 0) {
        block_of_[c >> 8] = static_cast<std::uint16_t>(blocks_.size() / 256);
        blocks_.resize(blocks_.size() + 256, 0);
      }
      blocks_[block_of_[c >> 8] * 256u + (c & 0xFF)] = static_cast<unsigned char>(0x80 + i);
    }
  }
  unsigned Number() const override { return table_.number; }

  void AppendUtf8(std::string_view ansi, std::string& utf8) const override {
    std::size_t at = 0;
    while (at < ansi.size()) {
      const std::size_t ascii_end = AsciiRun(ansi, at);
      utf8.append(ansi.data() + at, ascii_end - at);
      at = ascii_end;
      if (at < ansi.size()) {
        AppendUtf8Character(table_.high[static_cast<unsigned char>(ansi[at]) - 0x80], utf8);
        ++at;
      }
    }
  }

  Fit Encode(char32_t character, std::string& ansi) const override {
    if (character < 0x80) {
      ansi += static_cast<char>(character);
      return Fit::Exact;
    }
    if (const int byte = ExactByte(character); byte >= 0) {
      ansi += static_cast<char>(byte);
      return Fit::Exact;
    }
    // An accented letter: down its chain of decompositions to the first the page holds.
    for (char32_t c = character; (c = Base(c)) != 0;) {
      if (c < 0x80) {
        ansi += static_cast<char>(c);
        return Fit::BestFit;
      }
      if (const int byte = ExactByte(c); byte >= 0) {
        ansi += static_cast<char>(byte);
        return Fit::BestFit;
      }
    }
    if (const std::string_view plain = PlainForm(character); !plain.empty()) {
      ansi += plain;
      return Fit::BestFit;
    }
    return Fit::None;
  }

 public:
  int ExactByte(char32_t c) const {
    if (c > 0xFFFF) return -1;
    const unsigned char byte = blocks_[block_of_[c >> 8] * 256u + (c & 0xFF)];
    return byte != 0 ? byte : -1;
  }

 private:
  static char32_t Base(char32_t c) {
    if (c > 0xFFFF) return 0;
    const auto it = std::lower_bound(std::begin(kDecompositions), std::end(kDecompositions), c,
                                     [](const Decomposition& d, char32_t value) { return d.character < value; });
    return it != std::end(kDecompositions) && it->character == c ? it->base : 0;
  }

  const PageTable& table_;
  std::array<std::uint16_t, 256> block_of_;
  std::vector<unsigned char> blocks_;
};

// Walks the characters of UTF-8 or UTF-16 text (after its mark), handing each to
// `sink(character, valid)`; `valid` is false for bytes that were no character (U+FFFD given).
template <typename Sink>
void ForEachCharacter(std::string_view text, TextEncoding encoding, Sink&& sink) {
  if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be) {
    const bool big = encoding == TextEncoding::Utf16Be;
    const auto unit = [&](std::size_t i) -> char16_t {
      const auto a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(text[i + 1]);
      return big ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    };
    std::size_t at = 0;
    while (at + 1 < text.size()) {
      const char16_t u = unit(at);
      at += 2;
      if (u >= 0xD800 && u <= 0xDBFF && at + 1 < text.size()) {
        const char16_t low = unit(at);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          at += 2;
          sink(0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00), true);
          continue;
        }
      }
      if (u >= 0xD800 && u <= 0xDFFF) {
        sink(kReplacement, false);
      } else {
        sink(u, true);
      }
    }
    if (at < text.size()) sink(kReplacement, false);  // an odd last byte
    return;
  }
  std::size_t at = 0;
  while (at < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      sink(lead, true);
      ++at;
    } else if (const Decoded d = DecodeUtf8(text, at); d.length != 0) {
      sink(d.character, true);
      at += d.length;
    } else {
      sink(kReplacement, false);
      ++at;
    }
  }
}

// UTF-8 text to the ANSI of `page`, appended to `result`.  The common case by far: long runs of
// ASCII copied at once between the accented letters; lines are counted only when a character
// is replaced, up to where it stands.  `strict` stops at the first byte that starts no
// well-formed sequence and returns false: the text is no UTF-8.
bool Utf8ToAnsi(std::string_view text, const CodePage& page, bool strict, ConvertedText& result, bool& multi_byte) {
  // No character takes more bytes in the page than in UTF-8 (an ellipsis: three for three),
  // so the text is written in place into room of its own size.
  const auto* table = dynamic_cast<const TableCodePage*>(&page);
  const std::size_t start = result.bytes.size();
  result.bytes.resize(start + text.size());
  char* const begin = result.bytes.data() + start;
  char* out = begin;
  std::uint64_t line = 1;
  const char* counted = begin;
  const auto replaced = [&](char32_t c, bool best_fit) {
    line += static_cast<std::uint64_t>(std::count(counted, static_cast<const char*>(out), '\n'));
    counted = out;
    result.replaced.push_back({line, c, best_fit});
  };
  std::string other;  // a character the table does not hold exactly
  std::size_t at = 0;
  const char* const in = text.data();
  while (at < text.size()) {
    // ASCII is copied eight bytes at a time as it is found (the room holds every word).
    for (std::uint64_t word; at + 8 <= text.size(); at += 8, out += 8) {
      std::memcpy(&word, in + at, 8);
      if (word & 0x8080808080808080ull) break;
      std::memcpy(out, &word, 8);
    }
    while (at < text.size() && static_cast<unsigned char>(in[at]) < 0x80) *out++ = in[at++];
    if (at == text.size()) break;
    const auto lead = static_cast<unsigned char>(text[at]);
    Decoded d;
    if (lead >= 0xC2 && lead <= 0xDF && at + 1 < text.size() &&
        (static_cast<unsigned char>(text[at + 1]) & 0xC0) == 0x80) {
      d = {char32_t((lead & 0x1Fu) << 6 | (static_cast<unsigned char>(text[at + 1]) & 0x3Fu)), 2};
    } else {
      d = DecodeUtf8(text, at);
    }
    if (d.length == 0) {
      if (strict) {
        result.bytes.resize(start);
        return false;
      }
      replaced(kReplacement, false);
      *out++ = '?';
      ++at;
      continue;
    }
    multi_byte = true;
    at += d.length;
    if (const int byte = table ? table->ExactByte(d.character) : -1; byte >= 0) {
      *out++ = static_cast<char>(byte);
      continue;
    }
    other.clear();
    const CodePage::Fit fit = page.Encode(d.character, other);
    if (fit == CodePage::Fit::None) other.push_back('?');  // Encode wrote nothing
    other.resize(std::min(other.size(), d.length));        // never past the room (no page's form is)
    std::memcpy(out, other.data(), other.size());
    out += other.size();
    if (fit != CodePage::Fit::Exact) replaced(d.character, fit == CodePage::Fit::BestFit);
  }
  result.bytes.resize(start + static_cast<std::size_t>(out - begin));
  return true;
}

}  // namespace

void AppendUtf8Character(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The encoding a byte-order mark at the start says, or ANSI for none.
TextEncoding MarkedEncoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::Utf8Bom;
  if (bytes.starts_with("\xFF\xFE")) return TextEncoding::Utf16Le;
  if (bytes.starts_with("\xFE\xFF")) return TextEncoding::Utf16Be;
  return TextEncoding::Ansi;
}

TextEncoding DetectEncoding(std::string_view bytes) {
  if (const TextEncoding marked = MarkedEncoding(bytes); marked != TextEncoding::Ansi) return marked;
  bool multi_byte = false;
  std::size_t at = 0;
  while ((at = AsciiRun(bytes, at)) < bytes.size()) {
    const Decoded d = DecodeUtf8(bytes, at);
    if (d.length == 0) return TextEncoding::Ansi;
    multi_byte = true;
    at += d.length;
  }
  return multi_byte ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::size_t MarkLength(TextEncoding encoding) { return ByteOrderMark(encoding).size(); }

bool IsUnicode(TextEncoding encoding) { return encoding != TextEncoding::Ansi; }

std::string_view ByteOrderMark(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8Bom:
      return "\xEF\xBB\xBF";
    case TextEncoding::Utf16Le:
      return "\xFF\xFE";
    case TextEncoding::Utf16Be:
      return "\xFE\xFF";
    default:
      return {};
  }
}

const CodePage* BuiltInCodePage(unsigned number) {
  // Built on first use, once: the tables are read-only after that, so threads may share them.
  static const std::vector<TableCodePage> pages(std::begin(kPageTables), std::end(kPageTables));
  for (const TableCodePage& page : pages) {
    if (page.Number() == number) return &page;
  }
  return nullptr;
}

ConvertedText ToAnsi(std::string_view file_bytes, TextEncoding encoding, const CodePage& page) {
  ConvertedText result;
  if (encoding == TextEncoding::Ansi) {
    result.bytes.assign(file_bytes);
    return result;
  }
  const std::string_view text = file_bytes.substr(std::min(MarkLength(encoding), file_bytes.size()));
  result.bytes.reserve(text.size());
  std::uint64_t line = 1;
  if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom) {
    bool multi_byte = false;
    Utf8ToAnsi(text, page, false, result, multi_byte);
    return result;
  }
  ForEachCharacter(text, encoding, [&](char32_t c, bool valid) {
    if (c == '\n') ++line;
    const CodePage::Fit fit = valid ? page.Encode(c, result.bytes) : CodePage::Fit::None;
    if (fit == CodePage::Fit::None) result.bytes += '?';
    if (fit != CodePage::Fit::Exact) result.replaced.push_back({line, c, fit == CodePage::Fit::BestFit});
  });
  return result;
}

TextEncoding DetectToAnsi(std::string_view file_bytes, const CodePage& page, ConvertedText& text) {
  // Cleared, not replaced: a caller may hand in a buffer to be reused.
  text.bytes.clear();
  text.replaced.clear();
  const TextEncoding marked = MarkedEncoding(file_bytes);
  if (marked != TextEncoding::Ansi) {
    text = ToAnsi(file_bytes, marked, page);
    return marked;
  }
  const std::size_t ascii_end = AsciiRun(file_bytes, 0);
  if (ascii_end == file_bytes.size()) return TextEncoding::Ansi;
  bool multi_byte = false;
  text.bytes.reserve(file_bytes.size());
  if (Utf8ToAnsi(file_bytes, page, true, text, multi_byte) && multi_byte) return TextEncoding::Utf8;
  text.bytes.clear();
  text.replaced.clear();
  return TextEncoding::Ansi;
}

ConvertedText ToUtf8(std::string_view file_bytes, TextEncoding encoding, const CodePage& page) {
  ConvertedText result;
  if (encoding == TextEncoding::Ansi) {
    page.AppendUtf8(file_bytes, result.bytes);
    return result;
  }
  const std::string_view text = file_bytes.substr(std::min(MarkLength(encoding), file_bytes.size()));
  result.bytes.reserve(text.size());
  std::uint64_t line = 1;
  ForEachCharacter(text, encoding, [&](char32_t c, bool valid) {
    if (c == '\n') ++line;
    AppendUtf8Character(c, result.bytes);
    if (!valid) result.replaced.push_back({line, c, false});
  });
  return result;
}

ConvertedText FromUtf8(std::string_view utf8, TextEncoding encoding, const CodePage& page) {
  ConvertedText result;
  std::uint64_t line = 1;
  switch (encoding) {
    case TextEncoding::Ansi:
      return ToAnsi(utf8, TextEncoding::Utf8, page);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
      ForEachCharacter(utf8, TextEncoding::Utf8, [&](char32_t c, bool valid) {
        if (c == '\n') ++line;
        AppendUtf8Character(c, result.bytes);
        if (!valid) result.replaced.push_back({line, c, false});
      });
      return result;
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
      const bool big = encoding == TextEncoding::Utf16Be;
      ForEachCharacter(utf8, TextEncoding::Utf8, [&](char32_t c, bool valid) {
        if (c == '\n') ++line;
        if (c >= 0x10000) {
          AppendUtf16Unit(char16_t(0xD800 + ((c - 0x10000) >> 10)), big, result.bytes);
          AppendUtf16Unit(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)), big, result.bytes);
        } else {
          AppendUtf16Unit(char16_t(c), big, result.bytes);
        }
        if (!valid) result.replaced.push_back({line, c, false});
      });
      return result;
    }
  }
  return result;
}

}  // namespace vosko
