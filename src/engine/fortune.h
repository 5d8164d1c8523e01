// Fortune collections: text files of short texts, each followed by a line holding only "%",
// the form that strfile indexes and that most public quote collections come in.
//
// A fortune file is Unix text: lines end with LF.  Read, a CR before a line end is part of the
// line end (files that passed through a DOS editor read the same), a line holding "%" and
// nothing else but spaces and tabs separates two fortunes, the text between two separators is
// one fortune (its last line end is not part of it), and a fortune of nothing but blanks and
// line ends is no fortune: a leading "%", two separators in a row and a file that does not end
// with "%" all read as one would expect.  Ctrl-Z bytes that end the file (an old editor's end
// mark) are left out; every other byte, NUL and Ctrl-Z included, is text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vosko {

struct Fortune {
  std::string text;        // the lines joined by LF, without a line end after the last one
  std::uint64_t line = 0;  // the file line the text starts on, counted from 1
};

// The fortunes of a whole file's bytes, in file order.
std::vector<Fortune> ReadFortunes(std::string_view bytes);

// A line that a reader takes as the separator: "%" and then only spaces, tabs or CR.
bool IsFortuneSeparator(std::string_view line);

// Appends `text` to a fortune file: its lines, each ended by LF, and the line "%".  The format
// has no escapes, so a line that would read as a separator is written with a space before it
// (" %": a mark an editor that trims line ends cannot take away), and a CR that ends a line is
// left out (it would read as part of the line end).  A text of nothing but blanks and line ends
// would read as no fortune and is not written.  Returns how many lines were changed, or -1 when
// nothing was written.  What ReadFortunes gives is written so that it reads back the same.
int AppendFortune(std::string_view text, std::string& out);

// What a fortune needed to become the lines of a quote, each at the fortune file line (counted
// from 1) it concerns.
enum class FortuneFix : std::uint8_t {
  PairSplit,    // "##" or "@@", a comment or a directive in a quote file: a space put between
  LineBroken,   // longer than a compiled line may be: broken, after a space where there is one
  ByteDropped,  // a NUL or a Ctrl-Z, which no quote file line can hold: left out
  NotExact,     // what is left still cannot be written so that a compile gives it back
};
struct FortuneFixAt {
  FortuneFix fix;
  std::uint64_t line;
};

// Appends `fortune` to `out` as one quote of a quote file (AppendQuoteLines: blank lines inside
// it kept by the \n escape, backslashes doubled where a compile would read an escape), so that
// a compile stores the fortune's text.  What it had to change is added to `fixes`, once per
// kind and line; without fixes the compile gives back exactly the fortune's text.
void AppendFortuneQuote(const Fortune& fortune, std::string& out, std::vector<FortuneFixAt>& fixes);

}  // namespace vosko
