// Parser of resource scripts (rquotes.r): the header comments and commands the script writer
// puts first, then `text NAME { "literal", ... };` blocks, one per quote.
//
// It streams: literal bytes go to a TextSink as they are decoded, so memory does not grow with
// the size of a text or of the script. The driver runs it twice over the same script (once to
// learn the index, once to write the texts), so it must be deterministic.
#pragma once

#include "diagnostic.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace rescom {

// Buffered bytes of the script, from memory or from an open file. Ends at the physical end of
// the data; the Ctrl-Z end mark is the parser's business.
class ScriptInput {
 public:
  explicit ScriptInput(std::string_view bytes);
  // The bytes handed out at most `piece` at a time, as a file is read in chunks: lets tests
  // and the fuzzer put chunk boundaries anywhere.
  ScriptInput(std::string_view bytes, std::size_t piece);
  explicit ScriptInput(std::FILE* file);  // not owned; read from its current position
  ScriptInput(const ScriptInput&) = delete;
  ScriptInput& operator=(const ScriptInput&) = delete;

  // Buffered, not yet consumed bytes: [cur, end).
  const unsigned char* cur = nullptr;
  const unsigned char* end = nullptr;

  // Makes at least one more byte available; false at the end of the data or on a read error.
  bool refill();
  bool read_failed() const { return read_failed_; }

 private:
  std::FILE* file_ = nullptr;
  const unsigned char* pieces_end_ = nullptr;
  std::size_t piece_ = 0;
  bool read_failed_ = false;
  std::vector<unsigned char> buffer_;
};

// Receives the texts of the resources in script order. Calls come in the order begin,
// append..., end for each resource; `end` gives the text's final length, which is the sum of
// the appended sizes. A resource may have an empty text.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void begin(std::uint32_t line) = 0;
  virtual void append(const char* bytes, std::size_t size) = 0;
  virtual void end(std::uint64_t length) = 0;
};

struct ParseResult {
  std::vector<Diagnostic> errors;  // at most kMaxErrors
  bool stopped_early = false;      // kMaxErrors reached; the rest was not examined
  std::uint64_t resources = 0;     // complete resources seen
};

// Parses the whole script. Texts go to `sink` only while no error has been found, so after the
// first error the sink sees no more calls and the result's errors decide the outcome.
ParseResult parse_script(ScriptInput& input, TextSink& sink);

}  // namespace rescom
