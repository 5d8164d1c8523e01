// The clipboard text that Paste appends to a quote file: how much of the clipboard's block
// is text, and how many lines the message counts in it.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace vosko {

// The text of a clipboard block: its bytes up to the first NUL. Nothing when the block
// holds no NUL within its size: such a text has no end that can be trusted.
std::optional<std::string_view> TerminatedText(const char* block, std::size_t size);

// The lines of a pasted text: the runs of characters other than line feed. A line of only a
// carriage return counts; nothing between two adjacent line feeds does not.
std::size_t CountPastedLines(std::string_view text);

// Written before and after the text, so that it stands as a quote of its own.
inline constexpr std::string_view kPasteSeparator = "\r\n";

}  // namespace vosko
