#include "engine/script_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "engine/quote_format.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"
#include "script_literal.h"

namespace vosko {
namespace {

// The host's header text arrives in a 1024-byte buffer.
constexpr std::size_t kHostHeaderMax = 1023;

constexpr std::string_view kBlockStart = "\ntext x\n   {\n";
constexpr std::string_view kBlockEnd = "   };\n";
constexpr std::string_view kStringStart = "   \"";
constexpr std::string_view kStringEnd = "\\n\",\n";

// Where the literal body `body` may be cut to keep at most `keep` characters: every backslash
// in it starts a two-character escape, which is never parted.
std::size_t EscapeSafeCut(std::string_view body, std::size_t keep) {
  std::size_t i = 0;
  while (i < keep) {
    if (body[i] == '\\') {
      if (i + 1 >= keep) break;
      i += 2;
    } else {
      ++i;
    }
  }
  return i;
}

// One quote file's pass: the state that the directives set, and the scratch lines reused for
// every line so the pass allocates nothing per line.
class QuotePass {
 public:
  QuotePass(TextFile* script, std::string_view path, ScriptRun& run, const QuoteFileContext& context)
      : script_(script),
        writing_(script != nullptr || context.changes != nullptr),
        path_(path),
        run_(run),
        context_(context) {}

  // The host's text is escaped like a quote line; a line feed in it becomes \n, so the
  // header stays one string line.
  void SetInitialHeader(std::string_view text) {
    text = text.substr(0, std::min(text.size(), std::min(text.find('\0'), kHostHeaderMax)));
    header_ = writing_ ? rescom::escape_quote_text(text) : std::string(text);
    header_line_ = 0;
  }

  void Line(std::string_view piece, std::uint64_t line_no);
  void Change(ScriptChange change, std::uint64_t line_no, std::string_view line, std::uint64_t detail = 0) {
    if (context_.changes) context_.changes->OnChange(change, path_, line_no, line, detail);
  }
  void Finish() { CloseQuote(); }
  int Count() const { return count_; }

 private:
  // `lines` is the number of line feeds in `text`.
  void Emit(std::string_view text, std::uint64_t origin, std::uint64_t lines) {
    if (script_) script_->Write(text);
    if (context_.lines) {
      for (std::uint64_t i = 1; i <= lines; ++i) context_.lines->OnScriptLine(run_.script_lines + i, path_, origin);
    }
    run_.script_lines += lines;
  }

  // "   \"<lead spaces><body><trail spaces>\\n\",\n", the content cut to its bound, built in a
  // fixed line that the bound makes large enough.  `body` is escaped text: it holds no line feed.
  void StringLine(std::size_t lead, std::string_view body, std::size_t trail, std::uint64_t origin) {
    if (lead + body.size() + trail > kMaxStringLineContent) {
      Change(ScriptChange::LineCut, origin, body, lead + body.size() + trail);
      lead = std::min(lead, kMaxStringLineContent);
      const std::size_t keep = kMaxStringLineContent - lead;
      if (body.size() > keep) body = body.substr(0, EscapeSafeCut(body, keep));
      trail = std::min(trail, kMaxStringLineContent - lead - body.size());
    }
    char* p = line_;
    std::memcpy(p, kStringStart.data(), kStringStart.size());
    p += kStringStart.size();
    std::memset(p, ' ', lead);
    p += lead;
    if (!body.empty()) std::memcpy(p, body.data(), body.size());  // an empty body may have no pointer
    p += body.size();
    std::memset(p, ' ', trail);
    p += trail;
    std::memcpy(p, kStringEnd.data(), kStringEnd.size());
    p += kStringEnd.size();
    Emit(std::string_view(line_, static_cast<std::size_t>(p - line_)), origin, 1);
  }

  void OpenQuote(std::uint64_t line_no) {
    open_ = true;
    ++count_;
    last_line_ = line_no;
    if (!writing_) return;
    Emit(kBlockStart, line_no, 3);
    if (!header_.empty()) StringLine(0, header_, 0, header_line_ ? header_line_ : line_no);
  }

  void CloseQuote() {
    if (!open_) return;
    open_ = false;
    if (!writing_) return;
    if (!end_.empty()) StringLine(0, end_, 0, end_line_);
    Emit(kBlockEnd, last_line_, 1);
  }

  void TextLine(std::string_view line, std::uint64_t line_no) {
    if (!open_) OpenQuote(line_no);
    last_line_ = line_no;
    if (!writing_) return;
    // LEFT wins over RIGHT, RIGHT over CENTER; a value of 0 or less is off.  A line at least as
    // long as the field is written as it is, not wrapped (only the string line bound cuts it).
    const auto field = [](int n) { return std::min(static_cast<std::size_t>(n), kMaxStringLineContent); };
    if (left_ > 0) return StringLine(field(left_), line, 0, line_no);
    const int field_width = right_ > 0 ? right_ : center_;
    const std::size_t n = field_width > 0 ? field(field_width) : 0;
    if (n <= line.size()) return StringLine(0, line, 0, line_no);
    const std::string_view core = TrimSpaces(line);
    const std::size_t spare = n - core.size();
    if (right_ > 0) return StringLine(spare, core, 0, line_no);
    StringLine(spare / 2, core, spare - spare / 2, line_no);  // an odd spare space goes right
  }

  TextFile* script_;
  bool writing_;  // string lines are made: for the script, or for a checker
  std::string_view path_;
  ScriptRun& run_;
  const QuoteFileContext& context_;
  std::string header_, end_;
  std::uint64_t header_line_ = 0, end_line_ = 0;
  int left_ = 0, right_ = 0, center_ = 0;
  bool open_ = false;
  int count_ = 0;
  std::uint64_t last_line_ = 0;
  char escaped_[rescom::kEscapeGrowth * kQuoteLineBuffer];
  char line_[kStringStart.size() + kMaxStringLineContent + kStringEnd.size()];
};

// The bytes that make a line more than plain text: the end of its C string, a comment, a
// double quote or backslash to escape, a directive.  Most quote lines hold none of them.
constexpr auto kSpecialBytes = [] {
  std::array<bool, 256> special{};
  for (unsigned char c : {'\0', '#', '"', '\\', '@'}) special[c] = true;
  return special;
}();

// Eight bytes at a time: a byte of x equal to one of the pattern's bytes shows as a high bit.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;
inline std::uint64_t MatchingBytes(std::uint64_t x, unsigned char c) {
  const std::uint64_t y = x ^ (kOnes * c);
  return (y - kOnes) & ~y & kHighs;
}

bool HasSpecialByte(std::string_view piece) {
  const char* p = piece.data();
  std::size_t n = piece.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    if (MatchingBytes(x, '\0') | MatchingBytes(x, '#') | MatchingBytes(x, '"') | MatchingBytes(x, '\\') |
        MatchingBytes(x, '@')) {
      return true;
    }
  }
  for (; n > 0; ++p, --n) {
    if (kSpecialBytes[static_cast<unsigned char>(*p)]) return true;
  }
  return false;
}

void QuotePass::Line(std::string_view piece, std::uint64_t line_no) {
  if (!HasSpecialByte(piece)) {
    std::string_view line = piece;
    if (!line.empty() && line.back() == '\n') {
      line.remove_suffix(1);
    } else {
      line = WithoutTrailingSpaces(line);
    }
    if (IsBlankLine(line)) return CloseQuote();
    return TextLine(line, line_no);
  }
  std::string_view line = CStringPart(piece);
  const bool has_line_end = !line.empty() && line.back() == '\n';
  // A piece that did not reach its line end (the file's last line, or part of an over-long
  // line) loses its trailing spaces; a complete line keeps them for the alignment.
  line = has_line_end ? line.substr(0, line.size() - 1) : WithoutTrailingSpaces(line);
  line = WithoutComment(line);
  // Double quotes are escaped, and so are the backslashes that do not start an escape the
  // compiler takes from a quote (script_literal.h has the rule): the literal is well formed
  // for every line.  Escaping only adds backslashes before backslashes and double quotes, so
  // it cannot change how a line is classified, and counting need not do it.
  if (writing_) {
    const std::string_view typed = line;
    line = std::string_view(escaped_, rescom::escape_quote_text(line, escaped_));
    if (context_.changes) {
      // What escaping added beyond a backslash per double quote went to backslashes it doubled.
      const auto quotes = static_cast<std::size_t>(std::count(typed.begin(), typed.end(), '"'));
      const std::size_t doubled = line.size() - typed.size() - quotes;
      if (doubled > 0) Change(ScriptChange::BackslashShown, line_no, typed, doubled);
    }
  }
  const LineKind kind = ClassifyLine(line);
  switch (kind) {
    case LineKind::Text:
      TextLine(line, line_no);
      return;
    case LineKind::Header:
    case LineKind::End:
      if (auto value = DirectiveValue(line)) {
        (kind == LineKind::Header ? header_ : end_).assign(TrimSpaces(*value));
        (kind == LineKind::Header ? header_line_ : end_line_) = line_no;
      } else {
        Change(ScriptChange::DirectiveIgnored, line_no, line);
      }
      break;  // the new end text already ends the quote that this line closes
    case LineKind::Left:
    case LineKind::Right:
    case LineKind::Center:
      if (auto value = DirectiveValue(line)) {
        if (auto n = DirectiveNumber(*value)) {
          (kind == LineKind::Left ? left_ : kind == LineKind::Right ? right_ : center_) = *n;
          break;
        }
      }
      Change(ScriptChange::DirectiveIgnored, line_no, line);
      break;
    case LineKind::OtherDirective:
      Change(ScriptChange::LineDropped, line_no, line);
      break;
    case LineKind::Blank:
      break;
  }
  CloseQuote();
}

}  // namespace

bool WriteScriptHeader(TextFile& script, const std::string& path, std::string_view date_text,
                       std::string_view time_text, ScriptRun& run, EngineReport* report) {
  if (!script.Open(path, "w+t")) {
    if (report) report->Report(IDS_SCRIPT_OPEN_FAILED, 0, ReportIcon::Stop, ReportOwner::MainWindow);
    return false;
  }
  return WriteScriptHeader(script, date_text, time_text, run, report);
}

bool WriteScriptHeader(TextFile& script, std::string_view date_text, std::string_view time_text, ScriptRun& run,
                       EngineReport* report) {
  std::string line;
  for (unsigned id = IDS_SCRIPT_HEADER_FIRST; id <= IDS_SCRIPT_HEADER_LAST; ++id) {
    line.assign(TableText(id)).append("\n");
    ReplaceFirst(line, line, "@@TIME@@", time_text);
    ReplaceFirst(line, line, "@@DATE@@", date_text);
    script.Write(line);
    run.script_lines += static_cast<std::uint64_t>(std::count(line.begin(), line.end(), '\n'));
  }
  // Every header write is checked, not just the last: buffered output fails at the flush.
  if (!script.Flush()) {
    if (report) report->Report(IDS_SCRIPT_WRITE_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
    script.Close();
    return false;
  }
  return true;
}

namespace {

int AppendQuotes(TextFile* script, TextFile& file, std::string_view path, std::string_view name, ScriptRun& run,
                 const QuoteFileContext& context, std::string_view initial_header) {
  QuotePass pass(script, path, run, context);
  pass.SetInitialHeader(initial_header);
  const std::int64_t file_size = std::max<std::int64_t>(0, file.SizeOnDisk());
  const bool with_output = script != nullptr;
  if (context.progress) context.progress->Show(name, 0, file_size, run.bytes_done, run.total_bytes, with_output);
  std::int64_t file_done = 0;
  std::uint64_t line_no = 1;
  bool mid_line = false;  // the last piece did not reach its line end
  const std::vector<ReplacedCharacter>& replaced = file.Replaced();
  run.characters_replaced += replaced.size();
  auto next_replaced = replaced.begin();
  for (std::string_view piece; !(piece = file.ReadPiece(kQuoteLineBuffer)).empty();) {
    // Told in line order with the line's other changes: before the line itself.
    for (; context.changes && next_replaced != replaced.end() && next_replaced->line <= line_no; ++next_replaced) {
      context.changes->OnChange(ScriptChange::CharacterReplaced, path, next_replaced->line, {},
                                next_replaced->character);
    }
    const auto advance = static_cast<std::int64_t>(piece.size()) + 2;
    file_done += advance;
    run.bytes_done += advance;
    if (context.progress)
      context.progress->Show(std::nullopt, file_done, file_size, run.bytes_done, run.total_bytes, with_output);
    if (mid_line && context.changes) {
      context.changes->OnChange(ScriptChange::LineSplit, path, line_no, WithoutLineEnd(piece), 0);
    }
    pass.Line(piece, line_no);
    mid_line = piece.back() != '\n';
    if (!mid_line) ++line_no;  // the pieces of one long line share its number
  }
  for (; context.changes && next_replaced != replaced.end(); ++next_replaced) {
    context.changes->OnChange(ScriptChange::CharacterReplaced, path, next_replaced->line, {}, next_replaced->character);
  }
  pass.Finish();
  if (context.progress) context.progress->Show(std::nullopt, 1, 1, run.bytes_done, run.total_bytes, with_output);
  return pass.Count();
}

std::string InitialHeader(const QuoteFileContext& context) {
  return context.initial_header ? context.initial_header() : std::string();
}

}  // namespace

int AppendQuoteFile(TextFile* script, const std::string& path, std::string_view name, ScriptRun& run,
                    const QuoteFileContext& context) {
  // The host is asked for the header once per file, whether or not the file opens.
  const std::string header = InitialHeader(context);
  TextFile file;
  if (!file.OpenConverted(path, context.code_page)) {
    if (context.report)
      context.report->Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
    return -1;
  }
  return AppendQuotes(script, file, path, name, run, context, header);
}

int AppendQuoteFile(TextFile* script, TextFile& quotes, std::string_view path, std::string_view name, ScriptRun& run,
                    const QuoteFileContext& context) {
  return AppendQuotes(script, quotes, path, name, run, context, InitialHeader(context));
}

}  // namespace vosko
