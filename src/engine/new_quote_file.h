// The parts of a new quote file that need no window: where it goes, which typed names may
// be used, and the template of comment and directive lines every new file starts with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine_report.h"
#include "engine/text_file.h"

namespace vosko {

// The quote folder, a backslash unless it already ends in one, `name` and ".lsq" (added even
// when the name ends in it). Nothing when the whole path would be longer than 259 characters:
// a cut path would name another file.
std::optional<std::string> NewQuoteFilePath(std::string_view folder, std::string_view name);

// True when a typed name can only name a file inside the quote folder: no drive, no folder
// part, none of the characters Windows keeps for itself, no control character, and not a
// device name (CON, NUL, COM1 ... with or without an extension). The empty name is not one.
// Nor is a name whose compile record the settings file could not give back (an "=", or a
// first character ";" or "[").
bool IsPlainFileName(std::string_view name);

// Writes the template (the template lines of the string table, one line each) with the first
// "@@DESCRIPTION@@", "@@TIME@@", "@@DATE@@" and "@@AUTHOR@@" of every line filled in, in that
// order, so a title holding "@@DATE@@" gets the date but one holding "@@DESCRIPTION@@" stays.
void WriteQuoteFileTemplate(TextFile& out, std::string_view title, std::string_view author, std::string_view date,
                            std::string_view time);

// What follows the template in a new quote file: nothing, the quotes of an imported text
// file, or the texts of a compiled quotes file read back.
struct NewQuoteFileSource {
  enum class Kind { Template, Import, Recompile } kind = Kind::Template;
  std::string path;              // the text file or the compiled quotes file
  std::int64_t line_length = 0;  // import only
  // Import only: the host's ANSI code page (null: the built-in 1252).  A UTF-8 or UTF-16 text
  // is converted to it; one with characters the page cannot hold makes a UTF-8 quote file
  // (with a mark), so that nothing is lost.
  const CodePage* code_page = nullptr;
};

// Opens what `source` reads (nothing for a template) into `in`, before anything is made:
// false, after the source's own message, when it cannot be read.  An import is opened
// converted: to the code page, or to UTF-8 when the page cannot hold its text.
bool OpenNewQuoteFileSource(const NewQuoteFileSource& source, TextFile& in, EngineReport* report);

// The whole contents of a new quote file into `out` (open for writing in text mode, left
// open): the template, then what `source` adds from `in` (opened by OpenNewQuoteFileSource).
// A recompile reports its own failures and leaves what was written before the failure.
void WriteNewQuoteFile(TextFile& out, std::string_view title, std::string_view author, std::string_view date,
                       std::string_view time, const NewQuoteFileSource& source, TextFile& in, EngineReport* report);
// The same, opening the source first: a source that cannot be read writes nothing.
void WriteNewQuoteFile(TextFile& out, std::string_view title, std::string_view author, std::string_view date,
                       std::string_view time, const NewQuoteFileSource& source, EngineReport* report);

}  // namespace vosko
