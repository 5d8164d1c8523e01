// vosko import --from fortune and vosko export --to fortune: fortune collections (texts
// separated by lines "%", the files strfile indexes) in and out.
//
// In, every fortune becomes one quote whose compile gives back the fortune's text; out, every
// quote's text as a compile stores it (escapes read; no header or end lines, no alignment).
// Fortune files are Unix text: they are written with LF line ends, read with either.  They are
// UTF-8 or ANSI; the quote files they make and come from are ANSI unless they must hold
// characters the code page cannot.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_support.h"
#include "compiler.h"
#include "engine/fortune.h"
#include "engine/new_quote_file.h"
#include "engine/regional_settings.h"
#include "engine/script_writer.h"
#include "engine/text_encoding.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"
#include "rsc_format.h"

namespace vosko::cli {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::optional<std::string> ReadWholeFile(const std::string& path) {
  TextFile file;
  if (!file.Open(path, "rb")) return std::nullopt;
  std::string bytes;
  for (std::string_view piece; !(piece = file.ReadPiece(kChunk + 1)).empty();) bytes.append(piece);
  return bytes;
}

// A fortune file's text as the new quote file holds it: ANSI as it is; Unicode converted to
// ANSI when the code page holds every character, else kept as UTF-8 (and the file gets a mark).
struct ImportedText {
  std::string text;
  bool utf8 = false;
};
ImportedText ImportedTextOf(std::string bytes, const CodePage& page) {
  const TextEncoding encoding = DetectEncoding(bytes);
  if (!IsUnicode(encoding)) return {std::move(bytes), false};
  ConvertedText ansi = ToAnsi(bytes, encoding, page);
  if (ansi.replaced.empty()) return {std::move(ansi.bytes), false};
  return {ToUtf8(bytes, encoding, page).bytes, true};
}

// "FILE:LINE: TEXT" on standard error: what was changed, where the user can look at it.
void Warn(std::ostream& err, std::string_view file, std::uint64_t line, const std::string& text) {
  err << file << ':' << line << ": " << text << '\n';
}

std::string FixText(FortuneFix fix) {
  switch (fix) {
    case FortuneFix::PairSplit:
      return Text(IDS_CLI_FORTUNE_PAIR_SPLIT);
    case FortuneFix::LineBroken:
      return Text(IDS_CLI_FORTUNE_LINE_BROKEN, {std::to_string(kMaxStringLineContent)});
    case FortuneFix::ByteDropped:
      return Text(IDS_CLI_FORTUNE_BYTE_DROPPED);
    case FortuneFix::NotExact:
      break;
  }
  return Text(IDS_CLI_FORTUNE_NOT_EXACT);
}

// Tells, for every script line, the quote file line it came from; each text resource starts
// with its "text x" line, which comes from the quote's first line.
class QuoteStarts final : public ScriptLineObserver {
 public:
  void OnScriptLine(std::uint64_t scriptLine, std::string_view, std::uint64_t quoteLine) override {
    if (origins_.size() < scriptLine) origins_.resize(scriptLine);
    origins_[scriptLine - 1] = quoteLine;
  }
  // The quote file line of each text resource of `script`, in order.
  std::vector<std::uint64_t> Of(std::string_view script) const {
    std::vector<std::uint64_t> starts;
    std::size_t index = 0;
    for (std::size_t at = 0; at < script.size(); ++index) {
      const std::size_t lf = std::min(script.find('\n', at), script.size());
      if (script.substr(at, lf - at) == "text x" && index < origins_.size()) starts.push_back(origins_[index]);
      at = lf + 1;
    }
    return starts;
  }

 private:
  std::vector<std::uint64_t> origins_;
};

}  // namespace

int ImportFortunes(const CommandLine& line, const CodePage& page, std::ostream& out, std::ostream& err) {
  if (line.Option("--line-length")) {
    Complain(err, IDS_CLI_UNKNOWN_OPTION, {"--line-length", "import --from fortune"});
    return kExitUsage;
  }
  if (line.words.size() != 2) {
    if (line.words.size() < 2) {
      Complain(err, IDS_CLI_MISSING_WORDS, {"FORTUNES OUT.lsq", "import"});
    } else {
      Complain(err, IDS_CLI_UNKNOWN_OPTION, {line.words[2], "import"});
    }
    return kExitUsage;
  }
  const std::string& source = line.words[0];
  const std::string& output = line.words[1];
  // The collection's name is its file's name (fortune files seldom have an extension).
  const std::string title = line.Option("--title").value_or(std::filesystem::path(source).stem().string());
  const std::string author = line.Option("--author").value_or("");
  if (!TitleAndAuthorFit(title, author, err)) return kExitUsage;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(source, error);
  if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
    Complain(err, std::filesystem::exists(status) ? IDS_CLI_CANNOT_READ : IDS_CLI_NO_SUCH_FILE, {source});
    return kExitFileError;
  }
  if (!IsTextFile(source, err) || !OutputIsNoInput(output, {source}, err) || !OutputIsNew(output, err)) {
    return kExitFileError;
  }
  const std::optional<std::string> bytes = ReadWholeFile(source);
  if (!bytes) {
    Complain(err, IDS_CLI_CANNOT_READ, {source});
    return kExitFileError;
  }

  const ImportedText imported = ImportedTextOf(*bytes, page);
  std::string quotes;
  std::vector<FortuneFixAt> fixes;
  for (const Fortune& fortune : ReadFortunes(imported.text)) AppendFortuneQuote(fortune, quotes, fixes);
  for (const FortuneFixAt& fix : fixes) Warn(err, source, fix.line, FixText(fix.fix));

  WholeOutput target(output);
  if (!target.Open("w+t", err)) return kExitFileError;
  if (imported.utf8) target.File().Write(ByteOrderMark(TextEncoding::Utf8Bom));
  const DefaultRegionalSettings intl;
  const CalendarTime now = LocalNow();
  WriteQuoteFileTemplate(target.File(), title, author, CurrentDateText(intl, now), CurrentTimeText(intl, now));
  target.File().Write("\n");  // the quotes start under an empty line, as an import's do
  target.File().Write(quotes);
  if (!target.Commit(err)) return kExitFileError;
  ScriptRun run;
  ConsoleReport report(err);
  report.At(output);
  QuoteFileContext context;
  context.report = &report;
  context.code_page = &page;
  const int count = AppendQuoteFile(nullptr, output, output, run, context);
  out << Text(IDS_CLI_NEW_FILE, {output, std::to_string(std::max(count, 0))}) << '\n';
  return kExitOk;
}

int ExportFortunes(const CommandLine& line, const std::string& output, const CodePage& page, std::ostream& out,
                   std::ostream& err) {
  const std::optional<std::vector<std::string>> files = GatherQuoteFiles(line.words, err);
  if (!files) return line.words.empty() ? kExitUsage : kExitFileError;
  if (!OutputIsNoInput(output, *files, err)) return kExitFileError;
  struct Exported {
    std::string text;
    const std::string* file;
    std::uint64_t line;
    bool ansi;
  };
  std::vector<Exported> texts;
  bool unicode = false;  // a quote file is Unicode: the fortune file is UTF-8
  for (const std::string& file : *files) {
    std::optional<std::string> bytes = ReadWholeFile(file);
    if (!bytes) {
      Complain(err, IDS_CLI_UNREADABLE, {file});
      return kExitFileError;
    }
    const TextEncoding encoding = DetectEncoding(*bytes);
    if (IsUnicode(encoding)) {
      unicode = true;
      *bytes = ToUtf8(*bytes, encoding, page).bytes;
    }
    // The texts a compile stores: the writer's own script, read by the compiler.
    std::string script;
    TextFile quotes, scriptFile;
    ScriptRun run;
    QuoteStarts starts;
    QuoteFileContext context;
    context.texts_only = true;
    context.lines = &starts;
    if (!quotes.OpenMemory(*bytes, "rt") || !scriptFile.OpenMemory(script, "wb")) return kExitFileError;
    AppendQuoteFile(&scriptFile, quotes, file, file, run, context);
    scriptFile.Close();
    std::string rsc;
    const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
    const std::optional<rescom::RscFile> compiled = rescom::decode_rsc(rsc);
    if (outcome.exit_code != rescom::kExitOk || !compiled) {
      for (const std::string& refusal : outcome.lines) err << file << ": " << refusal << '\n';
      Complain(err, IDS_CLI_COMPILE_REFUSED);
      return kExitRefused;
    }
    const std::vector<std::uint64_t> lines = starts.Of(script);
    for (std::size_t i = 0; i < compiled->offsets.size(); ++i) {
      texts.push_back({std::string(compiled->text(i)), &file, i < lines.size() ? lines[i] : 0, !IsUnicode(encoding)});
    }
  }
  std::string fortunes;
  std::int64_t written = 0;
  for (const Exported& text : texts) {
    const int changed =
        AppendFortune(unicode && text.ansi ? ToUtf8(text.text, TextEncoding::Ansi, page).bytes : text.text, fortunes);
    if (changed < 0) Warn(err, *text.file, text.line, Text(IDS_CLI_FORTUNE_EMPTY));
    if (changed > 0) Warn(err, *text.file, text.line, Text(IDS_CLI_FORTUNE_LINES_CHANGED, {std::to_string(changed)}));
    if (changed >= 0) ++written;
  }
  WholeOutput target(output);
  if (!target.Open("wb", err)) return kExitFileError;
  target.File().Write(fortunes);
  if (!target.Commit(err)) return kExitFileError;
  out << Text(IDS_CLI_EXPORTED, {output, std::to_string(written)}) << '\n';
  return kExitOk;
}

}  // namespace vosko::cli
