// The clipboard text that Paste appends to a quote file: how much of the clipboard's block
// is text, how many lines the message counts in it, and its bytes in the quote file's own
// encoding.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/text_encoding.h"

namespace vosko {

// The text of a clipboard block: its bytes up to the first NUL. Nothing when the block
// holds no NUL within its size: such a text has no end that can be trusted.
std::optional<std::string_view> TerminatedText(const char* block, std::size_t size);

// The lines of a pasted text: the runs of characters other than line feed. A line of only a
// carriage return counts; nothing between two adjacent line feeds does not.
std::size_t CountPastedLines(std::string_view text);

// Written before and after the text, so that it stands as a quote of its own.
inline constexpr std::string_view kPasteSeparator = "\r\n";

// The Unicode text of a clipboard block (UTF-16, low byte first) up to its first zero unit,
// as UTF-8; a unit of a surrogate pair without its partner is replaced and listed.  Nothing
// when the block holds no zero unit within its size.
std::optional<ConvertedText> TerminatedUtf16Text(const char* block, std::size_t size);

// What Paste appends to a quote file whose bytes are `file_bytes`: the separator, the text
// and the separator, all in the file's own encoding: UTF-8 for a UTF-8 file (no second mark),
// UTF-16 in the file's byte order for a UTF-16 file, ANSI of `page` otherwise.  Every
// character that is not the clipboard's own is listed once: those `text` lists already, and
// those the page cannot hold (replaced by a look-alike or "?").
ConvertedText PastedBytes(const ConvertedText& text, std::string_view file_bytes, const CodePage& page);

}  // namespace vosko
