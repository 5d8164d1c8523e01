// vosko check: what a compile would cut or change in quote files, told by the script writer
// itself as it makes every string line, so the check and the compile cannot disagree.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "cli.h"
#include "cli_progress.h"
#include "cli_support.h"
#include "engine/script_writer.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

namespace vosko::cli {
namespace {

struct Finding {
  std::uint64_t line;
  ScriptChange change;
  std::uint64_t detail;
  bool operator<(const Finding& other) const {
    return std::tie(line, change, detail) < std::tie(other.line, other.change, other.detail);
  }
  bool operator==(const Finding& other) const = default;
};

class Findings final : public ScriptChangeObserver {
 public:
  void OnChange(ScriptChange change, std::string_view, std::uint64_t quoteLine, std::string_view line,
                std::uint64_t detail) override {
    // Title and author lines are for the catalog, which reads them; the compile has no use
    // for them and loses nothing.
    if (change == ScriptChange::LineDropped && line.find('=') != std::string_view::npos &&
        (line.find(TableText(IDS_WORD_TITLE)) != std::string_view::npos ||
         line.find(TableText(IDS_WORD_AUTHOR)) != std::string_view::npos)) {
      catalog_lines_.push_back(quoteLine);
      return;
    }
    found_.push_back({quoteLine, change, detail});
  }
  // In line order, each once: a header line too long is cut in every quote it starts.  The
  // characters of title and author lines are the catalog's concern, not the compile's.
  std::vector<Finding> Sorted() {
    std::erase_if(found_, [&](const Finding& finding) {
      return finding.change == ScriptChange::CharacterReplaced &&
             std::find(catalog_lines_.begin(), catalog_lines_.end(), finding.line) != catalog_lines_.end();
    });
    std::sort(found_.begin(), found_.end());
    found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
    return found_;
  }

 private:
  std::vector<Finding> found_;
  std::vector<std::uint64_t> catalog_lines_;
};

// "00E9" for U+00E9: at least four capital hex digits.
std::string Hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (int shift = 20; shift >= 0; shift -= 4) {
    if (shift < 16 || (value >> shift) != 0 || !hex.empty()) hex += kDigits[(value >> shift) & 0xF];
  }
  return hex;
}

std::string Message(const Finding& finding, const CodePage& page) {
  switch (finding.change) {
    case ScriptChange::CharacterReplaced: {
      std::string written;
      const bool fits = page.Encode(static_cast<char32_t>(finding.detail), written) != CodePage::Fit::None;
      return Text(IDS_CLI_CHECK_REPLACED,
                  {Hex(finding.detail), std::to_string(page.Number()), fits ? std::string_view(written) : "?"});
    }
    case ScriptChange::LineSplit:
      return Text(IDS_CLI_CHECK_SPLIT);
    case ScriptChange::LineCut:
      return Text(IDS_CLI_CHECK_CUT, {std::to_string(finding.detail), std::to_string(kMaxStringLineContent)});
    case ScriptChange::DirectiveIgnored:
      return Text(IDS_CLI_CHECK_SETS_NOTHING);
    case ScriptChange::LineDropped:
      return Text(IDS_CLI_CHECK_DROPPED);
    case ScriptChange::BackslashShown:
      return Text(IDS_CLI_CHECK_BACKSLASH, {std::to_string(finding.detail)});
  }
  return {};
}

}  // namespace

int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress) {
  // --strict is the one option without a value.
  std::vector<std::string> rest;
  bool strict = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (args[i] == "--strict") {
      strict = true;
    } else {
      rest.push_back(args[i]);
    }
  }
  const std::optional<CommandLine> line = ScanCommandLine(rest, "check", {"--codepage"}, err);
  if (!line) return kExitUsage;
  const std::optional<const CodePage*> page = CodePageOption(*line, err);
  if (!page) return kExitUsage;
  const std::optional<std::vector<std::string>> files = GatherQuoteFiles(line->words, err);
  if (!files) return line->words.empty() ? kExitUsage : kExitFileError;
  ConsoleReport report(err);
  TerminalProgress progress(err, showProgress);
  ScriptRun run;
  for (const std::string& file : *files) run.total_bytes += FileSize(file);
  std::string shown;  // printed once the progress line is gone
  bool any = false;
  int code = kExitOk;
  for (const std::string& file : *files) {
    Findings findings;
    QuoteFileContext context;
    context.report = &report;
    context.progress = &progress;
    context.changes = &findings;
    context.code_page = *page;
    report.At(file);
    if (AppendQuoteFile(nullptr, file, file, run, context) < 0) {
      code = kExitFileError;
      break;
    }
    for (const Finding& finding : findings.Sorted()) {
      shown += file + ':' + std::to_string(finding.line) + ": " + Message(finding, **page) + '\n';
      any = true;
    }
  }
  progress.Done();
  out << shown;
  if (code != kExitOk) return code;
  return strict && any ? kExitRefused : kExitOk;
}

}  // namespace vosko::cli
