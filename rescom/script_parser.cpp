#include "script_parser.h"

#include "report.h"
#include "rsc_format.h"
#include "script_literal.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace rescom {

// ---------------------------------------------------------------------------------- input

namespace {
// Large enough that reading costs little per byte, small enough for a 32-bit console tool.
constexpr std::size_t kReadChunk = 256 * 1024;
}  // namespace

ScriptInput::ScriptInput(std::string_view bytes)
    : cur(reinterpret_cast<const unsigned char*>(bytes.data())), end(cur + bytes.size()) {}

ScriptInput::ScriptInput(std::string_view bytes, std::size_t piece)
    : cur(reinterpret_cast<const unsigned char*>(bytes.data())),
      end(cur),
      pieces_end_(cur + bytes.size()),
      piece_(piece == 0 ? 1 : piece) {}

ScriptInput::ScriptInput(std::FILE* file) : file_(file), buffer_(kReadChunk) { cur = end = buffer_.data(); }

bool ScriptInput::refill() {
  if (cur < end) return true;
  if (end < pieces_end_) {
    end += std::min<std::size_t>(piece_, static_cast<std::size_t>(pieces_end_ - end));
    return true;
  }
  if (file_ == nullptr || read_failed_) return false;
  const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (got == 0) {
    if (std::ferror(file_)) read_failed_ = true;
    return false;
  }
  cur = buffer_.data();
  end = cur + got;
  return true;
}

// ---------------------------------------------------------------------------------- parser

namespace {

constexpr unsigned char kCtrlZ = 0x1A;
// Words longer than this are still consumed whole, but only this much is kept for messages.
constexpr std::size_t kWordKept = 40;

enum class Tok { End, Word, String, LBrace, RBrace, Comma, Semicolon, Other };

struct Token {
  Tok kind = Tok::End;
  std::uint32_t line = 0;
  unsigned char byte = 0;  // Tok::Other
  std::string word;        // Tok::Word
};

// Bytes that end a run of plain literal bytes.
constexpr std::array<bool, 256> make_literal_stops() {
  std::array<bool, 256> t{};
  t['"'] = t['\\'] = t['\n'] = t['\r'] = t[0] = true;
  return t;
}
constexpr std::array<bool, 256> kLiteralStop = make_literal_stops();

bool is_word_byte(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool is_space(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Hand-written scripts from the MS-DOS days use any case for the keywords.
bool word_is(const std::string& word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != keyword[i]) return false;
  }
  return true;
}

bool is_command(const std::string& word) {
  return word_is(word, "text") || word_is(word, "headers") || word_is(word, "symbols");
}

int hex_value(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string describe(const Token& t) {
  switch (t.kind) {
    case Tok::End:
      return "the end";
    case Tok::Word:
      return "'" + shown_user_text(t.word) + "'";
    case Tok::String:
      return "a string";
    case Tok::LBrace:
      return "'{'";
    case Tok::RBrace:
      return "'}'";
    case Tok::Comma:
      return "','";
    case Tok::Semicolon:
      return "';'";
    case Tok::Other: {
      const char c = static_cast<char>(t.byte);
      return "'" + shown_user_text(std::string_view(&c, 1)) + "'";
    }
  }
  return {};
}

class Parser {
 public:
  Parser(ScriptInput& input, TextSink& sink) : in_(input), sink_(sink) {}

  ParseResult run() {
    skip_byte_order_mark();
    while (!stopped()) {
      Token t = next();
      switch (t.kind) {
        case Tok::End:
          return std::move(result_);
        case Tok::Word:
          if (word_is(t.word, "text")) {
            resource(t.line);
          } else if (word_is(t.word, "headers") || word_is(t.word, "symbols")) {
            switch_command(t);
          } else {
            error(t.line, "unknown command " + describe(t));
            recover();
          }
          break;
        case Tok::String:
          error(t.line, "string outside a resource");
          literal();
          recover();
          break;
        case Tok::LBrace:
          error(t.line, "'{' without 'text NAME' before it");
          recover();
          break;
        default:
          error(t.line, "unexpected " + describe(t));
          break;
      }
    }
    result_.stopped_early = true;
    return std::move(result_);
  }

 private:
  // ---- bytes

  int peek() { return (in_.cur < in_.end || in_.refill()) ? *in_.cur : -1; }

  void count_line() {
    if (line_ != UINT32_MAX) ++line_;
  }

  void skip_byte_order_mark() {
    // Notepad puts one in front of files saved as UTF-8; it is no part of the script. Read
    // byte by byte, as a chunk may end inside it; none of its bytes can start a token.
    for (const unsigned char mark : {0xEF, 0xBB, 0xBF}) {
      if (peek() != mark) {
        if (mark != 0xEF) error(line_, "incomplete byte order mark");
        return;
      }
      ++in_.cur;
    }
  }

  // ---- diagnostics

  bool stopped() const { return result_.errors.size() >= kMaxErrors; }

  void error(std::uint32_t line, std::string message) {
    if (stopped()) return;
    result_.errors.push_back({line, std::move(message)});
  }

  // ---- tokens

  Token next() {
    if (has_pushed_) {
      has_pushed_ = false;
      return std::move(pushed_);
    }
    int c;
    for (;;) {
      c = peek();
      if (c == '\n') {
        count_line();
      } else if (c == '#') {
        skip_comment();
        continue;
      } else if (!is_space(c)) {
        break;
      }
      ++in_.cur;
    }
    Token t;
    t.line = line_;
    if (c < 0) {
      t.kind = Tok::End;
      return t;
    }
    if (c == kCtrlZ) {
      ++in_.cur;
      check_after_end_mark();
      t.kind = Tok::End;
      return t;
    }
    if (is_word_byte(c)) {
      t.kind = Tok::Word;
      while (is_word_byte(peek())) {
        if (t.word.size() < kWordKept) t.word.push_back(static_cast<char>(*in_.cur));
        ++in_.cur;
      }
      return t;
    }
    ++in_.cur;
    switch (c) {
      case '"':
        t.kind = Tok::String;
        break;
      case '{':
        t.kind = Tok::LBrace;
        break;
      case '}':
        t.kind = Tok::RBrace;
        break;
      case ',':
        t.kind = Tok::Comma;
        break;
      case ';':
        t.kind = Tok::Semicolon;
        break;
      default:
        t.kind = Tok::Other;
        t.byte = static_cast<unsigned char>(c);
        break;
    }
    return t;
  }

  void push_back(Token t) {
    pushed_ = std::move(t);
    has_pushed_ = true;
  }

  // The line end stays for next() to count.
  void skip_comment() {
    while (peek() >= 0) {
      const void* nl = std::memchr(in_.cur, '\n', static_cast<std::size_t>(in_.end - in_.cur));
      if (nl != nullptr) {
        in_.cur = static_cast<const unsigned char*>(nl);
        return;
      }
      in_.cur = in_.end;
    }
  }

  // A Ctrl-Z ends a text-mode file on MS-DOS and Windows, and some editors still append one.
  // Resources after it would be lost without a word, so anything but padding is an error.
  void check_after_end_mark() {
    for (int c; (c = peek()) >= 0; ++in_.cur) {
      if (c == '\n') {
        count_line();
      } else if (!is_space(c) && c != kCtrlZ) {
        error(line_, "text after the Ctrl-Z end mark");
        while (peek() >= 0) in_.cur = in_.end;  // drain; nothing more is examined
        return;
      }
    }
  }

  // Skips to a point where parsing can resume after an error: past the next '}' (and its
  // ';'), or before the next command word. Keeps one mistake from cascading into many.
  void recover() {
    while (!stopped()) {
      Token t = next();
      switch (t.kind) {
        case Tok::End:
          return;
        case Tok::String:
          literal();
          break;
        case Tok::Word:
          if (is_command(t.word)) {
            push_back(std::move(t));
            return;
          }
          break;
        case Tok::RBrace:
          optional_semicolon();
          return;
        default:
          break;
      }
    }
  }

  void optional_semicolon() {
    Token t = next();
    if (t.kind != Tok::Semicolon) push_back(std::move(t));
  }

  // ---- commands

  // "headers on|off" and "symbols on|off" come from the script header; they are accepted
  // for compatibility and change nothing.
  void switch_command(const Token& command) {
    Token value = next();
    if (value.kind == Tok::Word && (word_is(value.word, "on") || word_is(value.word, "off"))) return;
    if (value.kind == Tok::Word && !is_command(value.word)) {
      error(value.line, describe(value) + " is not a switch value for " + describe(command));
      return;
    }
    error(command.line, "switch value missing after " + describe(command));
    push_back(std::move(value));
  }

  void resource(std::uint32_t start_line) {
    Token name = next();
    if (name.kind != Tok::Word || is_command(name.word)) {
      error(name.line, "resource name missing after 'text'");
      if (name.kind != Tok::LBrace) {
        push_back(std::move(name));
        recover();
        return;
      }
    } else {
      Token brace = next();
      if (brace.kind != Tok::LBrace) {
        error(brace.line, "'{' expected after 'text " + shown_user_text(name.word) + "', found " + describe(brace));
        push_back(std::move(brace));
        recover();
        return;
      }
    }

    begin_text(start_line);
    bool after_string = false;
    while (!stopped()) {
      Token t = next();
      switch (t.kind) {
        case Tok::String:
          literal();
          after_string = true;
          break;
        case Tok::Comma:
          if (!after_string) error(t.line, "',' without a string before it");
          after_string = false;
          break;
        case Tok::RBrace:
          end_text(start_line);
          optional_semicolon();
          return;
        case Tok::End:
          error(t.line, "the script ends inside the resource begun at line " + decimal(start_line));
          return;
        case Tok::Word:
          if (is_command(t.word)) {
            error(t.line,
                  "'}' missing before " + describe(t) + " (resource begun at line " + decimal(start_line) + ")");
            push_back(std::move(t));
            return;
          }
          error(t.line, "unexpected " + describe(t) + " inside a resource");
          break;
        default:
          error(t.line, "unexpected " + describe(t) + " inside a resource");
          break;
      }
    }
  }

  // ---- texts

  void begin_text(std::uint32_t line) {
    text_length_ = 0;
    pending_lf_ = false;
    nul_reported_ = false;
    if (result_.errors.empty()) sink_.begin(line);
  }

  // The host puts the text in at "~!" in the signature, which supplies the line end itself;
  // the script writer ends every line with \n, so one final line feed is dropped.
  void end_text(std::uint32_t line) {
    ++result_.resources;
    area_size_ += text_length_ + 1;
    if (area_size_ > kMaxAreaSize && !area_reported_) {
      area_reported_ = true;
      error(line, "the texts exceed the 4 GiB a compiled quotes file can hold");
    }
    if (result_.errors.empty()) sink_.end(text_length_);
  }

  void put(const char* bytes, std::size_t size) {
    text_length_ += size;
    if (result_.errors.empty()) sink_.append(bytes, size);
  }

  // Holds a final line feed back until more text follows it.
  void emit(const char* bytes, std::size_t size) {
    if (size == 0) return;
    if (pending_lf_) put("\n", 1);
    pending_lf_ = bytes[size - 1] == '\n';
    put(bytes, pending_lf_ ? size - 1 : size);
  }

  void emit_byte(unsigned value, std::uint32_t line) {
    if (value == 0) {
      nul_in_text(line);
      return;
    }
    const char c = static_cast<char>(value);
    emit(&c, 1);
  }

  // Texts are NUL-terminated in the compiled file: a NUL inside one would split it in two for
  // every reader, so it is refused rather than stored.
  void nul_in_text(std::uint32_t line) {
    if (nul_reported_) return;
    nul_reported_ = true;
    error(line, "NUL byte in a text (texts end at a NUL in the compiled file)");
  }

  // Reads a string literal whose opening quote has been consumed. A literal must end on its
  // own line; at a line end the error is reported and the line end left for next().
  void literal() {
    const std::uint32_t line = line_;
    for (;;) {
      if (stopped()) return;
      if (peek() < 0) {
        error(line, "unterminated string");
        return;
      }
      const unsigned char* run = in_.cur;
      const unsigned char* stop = run;
      while (stop < in_.end && !kLiteralStop[*stop]) ++stop;
      emit(reinterpret_cast<const char*>(run), static_cast<std::size_t>(stop - run));
      in_.cur = stop;
      if (stop == in_.end) continue;

      switch (*in_.cur) {
        case '"':
          ++in_.cur;
          return;
        case '\n':
          error(line, "unterminated string");
          return;
        case '\r':
          ++in_.cur;
          if (peek() == '\n') {
            error(line, "unterminated string");
            return;
          }
          emit("\r", 1);  // a lone CR is a byte like any other
          break;
        case 0:
          ++in_.cur;
          nul_in_text(line);
          break;
        default:  // backslash
          ++in_.cur;
          if (!escape(line)) return;
          break;
      }
    }
  }

  // After a backslash. False when the literal ended (unterminated) inside the escape.
  bool escape(std::uint32_t line) {
    const int c = peek();
    if (c < 0 || c == '\n') {
      error(line, "unterminated string");
      return false;
    }
    if (const int simple = one_char_escape(static_cast<unsigned char>(c)); simple >= 0) {
      ++in_.cur;
      const char byte = static_cast<char>(simple);
      emit(&byte, 1);
      return true;
    }
    if (c == 'x') {
      ++in_.cur;
      unsigned value = 0;
      int digits = 0;
      for (int d; digits < 2 && (d = hex_value(peek())) >= 0; ++digits, ++in_.cur)
        value = value * 16 + static_cast<unsigned>(d);
      if (digits == 0) {
        emit("\\x", 2);
        return true;
      }
      emit_byte(value, line);
      return true;
    }
    if (c >= '0' && c <= '7') {
      unsigned value = 0;
      std::string digits;
      for (int d; digits.size() < 3 && (d = peek()) >= '0' && d <= '7'; ++in_.cur) {
        value = value * 8 + static_cast<unsigned>(d - '0');
        digits.push_back(static_cast<char>(d));
      }
      if (value > 0xFF) {
        error(line, "octal escape \\" + digits + " is larger than a byte (\\377)");
        return true;
      }
      emit_byte(value, line);
      return true;
    }
    // Any other pair keeps both characters, so that a hand-written "C:\q" means what it
    // shows (the script writer doubles such backslashes itself). The second character is
    // read by the caller as an ordinary one (a CR LF there still ends the line).
    emit("\\", 1);
    return true;
  }

  ScriptInput& in_;
  TextSink& sink_;
  ParseResult result_;
  std::uint32_t line_ = 1;
  Token pushed_;
  bool has_pushed_ = false;

  std::uint64_t text_length_ = 0;
  std::uint64_t area_size_ = 0;
  bool area_reported_ = false;
  bool pending_lf_ = false;
  bool nul_reported_ = false;
};

}  // namespace

ParseResult parse_script(ScriptInput& input, TextSink& sink) {
  Parser parser(input, sink);
  return parser.run();
}

}  // namespace rescom
