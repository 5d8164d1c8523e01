// How a message's number is put into its text. Portable, so that every way of showing a
// message (the DLL's boxes, a command-line tool) words it the same.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vosko {

// A nonzero number replaces the first "%d" of the text with its decimal digits; 0 leaves
// the text as it is, "%d" and all. Nothing else in the text is interpreted, so a "%s" or a
// stray "%" in a message can never read an argument that is not there.
std::string FillMessageNumber(std::string text, std::uint16_t number);

// Puts `values` in place of the text's "%s" and "%d" conversions, in order, in one pass: a
// value that holds "%s" itself (a file name, a compiler's words) is never filled again.
// Conversions beyond the values stay as they are.
std::string FillMessageTexts(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace vosko
