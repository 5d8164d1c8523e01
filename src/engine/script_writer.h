// The resource script rquotes.r: its fixed header, then one text resource per quote of every
// compiled quote file.  The same per-file reader, given no script, counts the quotes for the
// rescan, so the count shown in the catalog is always what a compile would produce.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/progress.h"
#include "engine/engine_report.h"
#include "engine/text_file.h"

namespace vosko {

// The longest content of a string line (indentation plus escaped text): the compiler reads the
// script with 1024-byte lines, and a string line adds 9 characters and its line end.  Longer
// content is cut here, never between a backslash and the character it escapes.  An alignment
// wider than this behaves as this width would.
inline constexpr std::size_t kMaxStringLineContent = 1014;

// What one run (all files of one compile or rescan) carries from file to file.
struct ScriptRun {
  std::int64_t bytes_done = 0;     // each line read adds its length as read plus 2
  std::int64_t total_bytes = 0;    // the sum of the sizes of the run's files
  std::uint64_t script_lines = 0;  // lines written to the script so far
  // Characters of Unicode quote files that the host's code page could not hold: written as a
  // look-alike or "?" (the compile's closing message tells how many).
  std::uint64_t characters_replaced = 0;
};

// Told, for every line written to the script, which quote file line it came from, so that a
// compiler error in rquotes.r can be shown at the line the user must fix.  Text lines come
// from themselves; a block's opening lines from the quote's first text line and its closing
// line from its last; header and end lines from the directive that set them (a header that the
// host supplied, from the quote's first text line).
class ScriptLineObserver {
 public:
  virtual ~ScriptLineObserver() = default;
  // Both line numbers count from 1.
  virtual void OnScriptLine(std::uint64_t script_line, std::string_view quote_file, std::uint64_t quote_line) = 0;
};

// An observer that keeps only the origin of one script line: enough for the compile command to
// turn the line number of a compiler error into a quote file and line, in constant memory.
class ScriptLineLocator final : public ScriptLineObserver {
 public:
  explicit ScriptLineLocator(std::uint64_t script_line) : target_(script_line) {}
  void OnScriptLine(std::uint64_t script_line, std::string_view quote_file, std::uint64_t quote_line) override {
    if (script_line == target_) file_ = quote_file, line_ = quote_line;
  }
  bool Found() const { return line_ != 0; }
  const std::string& QuoteFile() const { return file_; }
  std::uint64_t QuoteLine() const { return line_; }

 private:
  std::uint64_t target_;
  std::string file_;
  std::uint64_t line_ = 0;
};

// What a compile makes of a quote file line other than what the line says, told to a checker
// so that it can warn before the compile.  The writer reports these as it decides them: a
// checker and the compile can never disagree.
enum class ScriptChange : std::uint8_t {
  LineSplit,         // longer than the reader's line buffer: read as several lines
  LineCut,           // its string line is over kMaxStringLineContent: cut (detail: its length)
  DirectiveIgnored,  // a directive the compile knows, without "=" or without a number
  LineDropped,       // holds "@@" but is no directive the compile knows: left out
  BackslashShown,    // backslashes that start no escape: doubled, shown as typed (detail: how many)
  // a character the host's code page cannot hold: a look-alike or "?" (detail: the character;
  // line: empty)
  CharacterReplaced,
};

class ScriptChangeObserver {
 public:
  virtual ~ScriptChangeObserver() = default;
  // `line` is the prepared line (line end removed, comment cut); numbers count from 1.
  virtual void OnChange(ScriptChange change, std::string_view quote_file, std::uint64_t quote_line,
                        std::string_view line, std::uint64_t detail) = 0;
};

struct QuoteFileContext {
  Progress* progress = nullptr;
  EngineReport* report = nullptr;
  // The host's answer to the setting query for host::kSettingHeader: the file's initial header text, asked
  // once per file.  Unset or empty: no initial header.
  std::function<std::string()> initial_header;
  ScriptLineObserver* lines = nullptr;
  // Given, the pass makes every string line as a compile would, even without a script.
  ScriptChangeObserver* changes = nullptr;
  // The host's ANSI code page, which UTF-8 and UTF-16 quote files are converted to; null is
  // the built-in 1252.  ANSI files are read as they are.
  const CodePage* code_page = nullptr;
};

// Creates (or empties) the script at `path` and writes the header lines IDS_SCRIPT_HEADER_FIRST to _LAST, with the
// first "@@TIME@@" and then the first "@@DATE@@" of each line replaced.  On failure reports
// IDS_SCRIPT_OPEN_FAILED (cannot create) or IDS_SCRIPT_WRITE_FAILED (a header write failed), closes the file and
// returns false.
bool WriteScriptHeader(TextFile& script, const std::string& path, std::string_view date_text,
                       std::string_view time_text, ScriptRun& run, EngineReport* report);
// The same into a script already open for writing, on disk or in memory.
bool WriteScriptHeader(TextFile& script, std::string_view date_text, std::string_view time_text, ScriptRun& run,
                       EngineReport* report);

// Appends the quotes of the quote file at `path` to `script` as text resources, or only counts
// them when `script` is null.  `name` is shown in the status text at the start.  Returns the
// number of quotes, or -1 (after IDS_OPEN_FAILED) when the file cannot be opened for reading.
int AppendQuoteFile(TextFile* script, const std::string& path, std::string_view name, ScriptRun& run,
                    const QuoteFileContext& context);
// The same from a quote file already open for reading, on disk or in memory (opened converted,
// its replaced characters are counted and told); `path` is only what the observers are told.
int AppendQuoteFile(TextFile* script, TextFile& quotes, std::string_view path, std::string_view name, ScriptRun& run,
                    const QuoteFileContext& context);

}  // namespace vosko
