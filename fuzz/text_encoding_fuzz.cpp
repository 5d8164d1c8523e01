// The encoding detector and the conversions over arbitrary bytes (the first byte picks the code
// page): nothing crashes, UTF-8 out is always well formed, and text goes through UTF-8 and
// UTF-16 and back unchanged.
#include <cstdlib>
#include <string>

#include "engine/text_encoding.h"
#include "engine/text_file.h"

namespace {

bool WellFormedUtf8(const std::string& text) {
  // A leading letter keeps a U+FEFF at the start from reading as a mark.
  const std::string probe = "a" + text;
  return vosko::DetectEncoding(probe) != vosko::TextEncoding::Ansi ||
         text.find_first_of(std::string("\x80\xFF", 2)) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vosko::TextEncoding;
  if (size < 1) return 0;
  static const unsigned kPages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
  const vosko::CodePage& page = *vosko::BuiltInCodePage(kPages[data[0] % 10]);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const TextEncoding encoding = vosko::DetectEncoding(bytes);

  const vosko::ConvertedText utf8 = vosko::ToUtf8(bytes, encoding, page);
  if (!WellFormedUtf8(utf8.bytes)) std::abort();
  // ANSI bytes read through the page are the page's characters: back without a replacement.
  if (encoding == TextEncoding::Ansi) {
    const vosko::ConvertedText ansi = vosko::FromUtf8(utf8.bytes, TextEncoding::Ansi, page);
    if (ansi.bytes != bytes || !ansi.replaced.empty()) std::abort();
  }
  for (TextEncoding wide : {TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
    const std::string file = std::string(vosko::ByteOrderMark(wide)) + vosko::FromUtf8(utf8.bytes, wide, page).bytes;
    const vosko::ConvertedText back = vosko::ToUtf8(file, vosko::DetectEncoding(file), page);
    if (back.bytes != utf8.bytes || !back.replaced.empty()) std::abort();
  }
  // To ANSI: one replacement at most per character, each on a line of the converted text.
  const vosko::ConvertedText ansi = vosko::ToAnsi(bytes, encoding, page);
  std::uint64_t lines = 1;
  for (char c : ansi.bytes) lines += c == '\n';
  for (const vosko::ReplacedCharacter& replaced : ansi.replaced) {
    if (replaced.line < 1 || replaced.line > lines) std::abort();
  }
  // The converted reader serves whatever the file holds by the text-mode rules.
  vosko::TextFile file;
  file.OpenMemoryConverted(bytes, &page);
  while (!file.ReadPiece(1 + size % 300).empty()) {
  }
  return 0;
}
