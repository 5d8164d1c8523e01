// vosko export, import, recompile and new: the extension's exchange code over whole outputs.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_progress.h"
#include "cli_support.h"
#include "engine/script_writer.h"
#include "engine/export_quotes.h"
#include "engine/import_text.h"
#include "engine/new_quote_file.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

namespace vosko::cli {
namespace {

// What every reader of a compiled quotes file relies on: a leading block closed by the first
// byte 255, then texts each ended by a NUL, so the file ends with a NUL or with that 255.  A
// file without it (a quote file or a text given by mistake) would make an empty or a garbled
// quote file.
bool IsCompiledQuotesFile(const std::string& path) {
  TextFile file;
  if (!file.Open(path, "rb")) return false;
  bool pastBlock = false;
  char last = 0;
  char buffer[64 * 1024];
  for (std::size_t got; (got = file.Read(buffer, sizeof buffer)) > 0;) {
    if (!pastBlock) pastBlock = std::find(buffer, buffer + got, '\xFF') != buffer + got;
    last = buffer[got - 1];
  }
  return pastBlock && (last == '\0' || last == '\xFF');
}

}  // namespace

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress) {
  const std::optional<CommandLine> line = ScanCommandLine(args, "export", {"-o", "--codepage", "--to"}, err);
  if (!line) return kExitUsage;
  const std::optional<const CodePage*> page = CodePageOption(*line, err);
  if (!page) return kExitUsage;
  const std::optional<std::string> output = line->Option("-o");
  if (!output) {
    Complain(err, IDS_CLI_MISSING_WORDS, {"-o FILE", "export"});
    return kExitUsage;
  }
  if (const std::optional<std::string> to = line->Option("--to"); to && *to != "text") {
    if (*to == "fortune") return ExportFortunes(*line, *output, **page, out, err);
    Complain(err, IDS_CLI_UNKNOWN_EXCHANGE, {*to});
    return kExitUsage;
  }
  const std::optional<std::vector<std::string>> files = GatherQuoteFiles(line->words, err);
  if (!files) return line->words.empty() ? kExitUsage : kExitFileError;
  if (!OutputIsNoInput(*output, *files, err)) return kExitFileError;
  WholeOutput target(*output);
  if (!target.Open("w+t", err)) return kExitFileError;
  ConsoleReport report(err);
  TerminalProgress progress(err, showProgress);
  ExportRun run;
  run.out = &target.File();
  run.report = &report;
  run.progress = &progress;
  run.code_page = *page;
  run.encoding = ExportEncoding(*files);
  for (const std::string& file : *files) run.total_bytes += FileSize(file);
  std::int64_t quotes = 0;
  for (const std::string& file : *files) {
    report.At(file);
    const int count = ExportQuoteFile(run, file, file);
    if (count < 0) return kExitFileError;
    quotes += count;
  }
  progress.Done();
  if (!target.Commit(err)) return kExitFileError;
  out << Text(IDS_CLI_EXPORTED, {*output, std::to_string(quotes)}) << '\n';
  return kExitOk;
}

int NewQuoteFile(std::string_view command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  NewQuoteFileSource source;
  std::string_view inputs;  // the words before OUT.lsq, for the message when they are missing
  if (command == "import") {
    source.kind = NewQuoteFileSource::Kind::Import;
    inputs = "IN.txt OUT.lsq";
  } else if (command == "recompile") {
    source.kind = NewQuoteFileSource::Kind::Recompile;
    inputs = "rquotes.pms OUT.lsq";
  } else {
    inputs = "OUT.lsq";
  }
  const bool import = source.kind == NewQuoteFileSource::Kind::Import;
  const std::optional<CommandLine> line =
      import ? ScanCommandLine(args, command, {"--title", "--author", "--line-length", "--codepage", "--from"}, err)
             : ScanCommandLine(args, command, {"--title", "--author"}, err);
  if (!line) return kExitUsage;
  const std::optional<const CodePage*> page = CodePageOption(*line, err);
  if (!page) return kExitUsage;
  source.code_page = *page;
  if (const std::optional<std::string> from = line->Option("--from"); from && *from != "text") {
    if (*from == "fortune") return ImportFortunes(*line, **page, out, err);
    Complain(err, IDS_CLI_UNKNOWN_EXCHANGE, {*from});
    return kExitUsage;
  }
  const std::size_t words = source.kind == NewQuoteFileSource::Kind::Template ? 1 : 2;
  if (line->words.size() < words) {
    Complain(err, IDS_CLI_MISSING_WORDS, {inputs, command});
    return kExitUsage;
  }
  if (line->words.size() > words) {
    Complain(err, IDS_CLI_UNKNOWN_OPTION, {line->words[words], command});
    return kExitUsage;
  }
  // As in the new-file dialogs: a title is needed, the author may be empty.
  const std::string title = line->Option("--title").value_or("");
  const std::string author = line->Option("--author").value_or("");
  if (!TitleAndAuthorFit(title, author, err)) return kExitUsage;
  if (import) {
    const std::string length = line->Option("--line-length").value_or("");
    source.line_length = ParseLineLength(length);
    if (source.line_length < kShortestImportLineLength) {
      Complain(err, IDS_CLI_BAD_LINE_LENGTH, {length});
      return kExitUsage;
    }
  }
  const std::string& output = line->words.back();
  if (words == 2) {
    source.path = line->words[0];
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(source.path, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
      Complain(err, std::filesystem::exists(status) ? IDS_CLI_CANNOT_READ : IDS_CLI_NO_SUCH_FILE, {source.path});
      return kExitFileError;
    }
    if (import && !IsTextFile(source.path, err)) return kExitFileError;
    if (!import && !IsCompiledQuotesFile(source.path)) {
      Complain(err, IDS_CLI_NOT_COMPILED_QUOTES, {source.path});
      return kExitFileError;
    }
    if (!OutputIsNoInput(output, {source.path}, err)) return kExitFileError;
  }
  if (!OutputIsNew(output, err)) return kExitFileError;

  WholeOutput target(output);
  if (!target.Open("w+t", err)) return kExitFileError;
  ConsoleReport report(err);
  report.At(source.path);
  report.OpenMessage(IDS_CLI_CANNOT_READ);
  const DefaultRegionalSettings intl;
  const CalendarTime now = LocalNow();
  WriteNewQuoteFile(target.File(), title, author, CurrentDateText(intl, now), CurrentTimeText(intl, now), source,
                    &report);
  // A source that could not be read leaves no quote file, not one with the template only.
  if (report.Reported() > 0 || !target.Commit(err)) return kExitFileError;
  ScriptRun run;
  report.At(output);
  QuoteFileContext context;
  context.report = &report;
  context.code_page = *page;
  const int count = AppendQuoteFile(nullptr, output, output, run, context);
  out << Text(IDS_CLI_NEW_FILE, {output, std::to_string(std::max(count, 0))}) << '\n';
  return kExitOk;
}

}  // namespace vosko::cli
