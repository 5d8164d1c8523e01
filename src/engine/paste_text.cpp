#include "engine/paste_text.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace vosko {

std::optional<std::string_view> TerminatedText(const char* block, std::size_t size) {
  if (block == nullptr) return std::nullopt;
  const void* end = std::memchr(block, '\0', size);
  if (end == nullptr) return std::nullopt;
  return std::string_view(block, static_cast<std::size_t>(static_cast<const char*>(end) - block));
}

std::size_t CountPastedLines(std::string_view text) {
  std::size_t lines = 0;
  bool in_line = false;
  for (char c : text) {
    if (c == '\n') {
      in_line = false;
    } else if (!in_line) {
      in_line = true;
      ++lines;
    }
  }
  return lines;
}

std::optional<ConvertedText> TerminatedUtf16Text(const char* block, std::size_t size) {
  if (block == nullptr) return std::nullopt;
  const auto unit = [block](std::size_t i) {
    const unsigned low = static_cast<unsigned char>(block[2 * i]);
    const unsigned high = static_cast<unsigned char>(block[2 * i + 1]);
    return static_cast<char16_t>(low | high << 8);
  };
  const std::size_t units = size / 2;
  std::size_t end = 0;
  while (end < units && unit(end) != 0) ++end;
  if (end == units) return std::nullopt;
  ConvertedText text;
  text.bytes.reserve(end);
  std::uint64_t line = 1;
  for (std::size_t i = 0; i < end; ++i) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < end && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      ++i;
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      text.replaced.push_back({line, 0xFFFD, false});
      c = 0xFFFD;
    }
    if (c == '\n') ++line;
    AppendUtf8Character(c, text.bytes);
  }
  return text;
}

ConvertedText PastedBytes(const ConvertedText& text, std::string_view file_bytes, const CodePage& page) {
  std::string whole;
  whole.reserve(text.bytes.size() + 2 * kPasteSeparator.size());
  whole.append(kPasteSeparator).append(text.bytes).append(kPasteSeparator);
  const TextEncoding encoding = DetectEncoding(file_bytes);
  // ANSI replaces the clipboard's own U+FFFD again, and lists it then.
  if (encoding == TextEncoding::Ansi) return FromUtf8(whole, encoding, page);
  if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom) return {std::move(whole), text.replaced};
  ConvertedText converted = FromUtf8(whole, encoding, page);
  converted.replaced.insert(converted.replaced.begin(), text.replaced.begin(), text.replaced.end());
  return converted;
}

}  // namespace vosko
