#include "cli.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli_support.h"
#include "engine/message_text.h"
#include "engine/text_file.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

namespace vosko::cli {
namespace {

// Bytes looked at for a NUL: text files, in any single-byte encoding and in UTF-8, hold none;
// UTF-16 text, which holds many, says what it is by its byte-order mark.
constexpr std::size_t kBinaryProbe = 4096;

bool IsBinaryFile(const std::string& path) {
  TextFile file;
  if (!file.Open(path, "rb")) return false;  // the engine's reader says why it cannot read it
  char buffer[kBinaryProbe];
  const std::size_t got = file.Read(buffer, sizeof buffer);
  const TextEncoding marked = DetectEncoding(std::string_view(buffer, std::min<std::size_t>(got, 2)));
  if (marked == TextEncoding::Utf16Le || marked == TextEncoding::Utf16Be) return false;
  return std::find(buffer, buffer + got, '\0') != buffer + got;
}

bool HasQuoteExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".lsq";
}

int Help(std::ostream& out, std::initializer_list<unsigned> ids) {
  for (unsigned id : ids) out << TableText(id);
  return kExitOk;
}

}  // namespace

std::string Text(unsigned id, std::initializer_list<std::string_view> values) {
  return FillMessageTexts(TableText(id), values);
}

void Complain(std::ostream& err, unsigned id, std::initializer_list<std::string_view> values) {
  err << "vosko: " << Text(id, values) << '\n';
}

bool TitleAndAuthorFit(const std::string& title, const std::string& author, std::ostream& err) {
  if (title.empty()) {
    Complain(err, IDS_CLI_TITLE_MISSING);
    return false;
  }
  for (const std::string& text : {title, author}) {
    if (text.find_first_of("\r\n") != std::string::npos) {
      Complain(err, IDS_CLI_NOT_ONE_LINE, {text});
      return false;
    }
  }
  return true;
}

std::optional<std::string> CommandLine::Option(std::string_view name) const {
  std::optional<std::string> value;
  for (const auto& [option, given] : options) {
    if (option == name) value = given;  // the last one counts
  }
  return value;
}

std::optional<CommandLine> ScanCommandLine(const std::vector<std::string>& args, std::string_view command,
                                           std::initializer_list<std::string_view> valued, std::ostream& err) {
  CommandLine line;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options || arg.size() < 2 || arg[0] != '-') {
      line.words.push_back(arg);
    } else if (arg == "--") {
      options = false;
    } else if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
      if (i + 1 == args.size()) {
        Complain(err, IDS_CLI_NEEDS_VALUE, {arg});
        return std::nullopt;
      }
      line.options.emplace_back(arg, args[++i]);
    } else {
      Complain(err, IDS_CLI_UNKNOWN_OPTION, {arg, command});
      return std::nullopt;
    }
  }
  return line;
}

std::optional<std::vector<std::string>> QuoteFilesIn(const std::string& folder) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return std::nullopt;
  std::vector<std::string> names;
  for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
    if (error) return std::nullopt;
    if (it->is_directory(error)) continue;
    std::string name = it->path().filename().string();
    if (HasQuoteExtension(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back((std::filesystem::path(folder) / name).string());
  return paths;
}

std::optional<std::vector<std::string>> GatherQuoteFiles(const std::vector<std::string>& names, std::ostream& err) {
  if (names.empty()) {
    Complain(err, IDS_CLI_NOTHING_TO_DO);
    return std::nullopt;
  }
  std::vector<std::string> files;
  for (const std::string& name : names) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(name, error);
    if (std::filesystem::is_directory(status)) {
      const std::optional<std::vector<std::string>> found = QuoteFilesIn(name);
      if (!found || found->empty()) {
        Complain(err, IDS_CLI_NO_QUOTE_FILES, {name});
        return std::nullopt;
      }
      files.insert(files.end(), found->begin(), found->end());
    } else if (std::filesystem::exists(status)) {
      files.push_back(name);
    } else {
      Complain(err, IDS_CLI_NO_SUCH_FILE, {name});
      return std::nullopt;
    }
  }
  for (const std::string& file : files) {
    if (IsBinaryFile(file)) {
      Complain(err, IDS_CLI_BINARY_FILE, {file});
      return std::nullopt;
    }
  }
  return files;
}

void ConsoleReport::Report(unsigned stringId, unsigned number, ReportIcon, ReportOwner) {
  ++reported_;
  switch (stringId) {
    case IDS_OPEN_FAILED:
    case IDS_IMPORT_OPEN_FAILED:
      Complain(err_, openMessage_, {file_});
      break;
    case IDS_SCRIPT_OPEN_FAILED:
    case IDS_SCRIPT_WRITE_FAILED:
      Complain(err_, scriptMessage_, {file_});
      break;
    default:
      err_ << "vosko: " << FillMessageNumber(std::string(TableText(stringId)), static_cast<std::uint16_t>(number))
           << '\n';
  }
}

bool ReplaceWithWorkFile(const std::string& work, const std::string& target) {
#ifdef _WIN32
  // The C runtime's rename refuses to replace an existing file on Windows.
  return MoveFileExA(work.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
#else
  return std::rename(work.c_str(), target.c_str()) == 0;
#endif
}

WholeOutput::~WholeOutput() {
  if (committed_) return;
  file_.Close();
  std::remove(work_.c_str());
}

bool WholeOutput::Open(std::string_view mode, std::ostream& err) {
  if (file_.Open(work_, mode)) return true;
  Complain(err, IDS_CLI_CANNOT_WRITE, {target_});
  return false;
}

bool WholeOutput::Commit(std::ostream& err) {
  if (file_.Close() && ReplaceWithWorkFile(work_, target_)) {
    committed_ = true;
    return true;
  }
  Complain(err, IDS_CLI_CANNOT_WRITE, {target_});
  return false;
}

bool OutputIsNoInput(const std::string& output, const std::vector<std::string>& inputs, std::ostream& err) {
  for (const std::string& input : inputs) {
    std::error_code error;
    if (std::filesystem::equivalent(output, input, error)) {
      Complain(err, IDS_CLI_OUTPUT_IS_INPUT, {output});
      return false;
    }
  }
  return true;
}

bool OutputIsNew(const std::string& output, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(output, error))) return true;
  Complain(err, IDS_CLI_OUTPUT_EXISTS, {output});
  return false;
}

std::int64_t FileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<std::int64_t>(size);
}

bool IsTextFile(const std::string& path, std::ostream& err) {
  if (!IsBinaryFile(path)) return true;
  Complain(err, IDS_CLI_BINARY_FILE, {path});
  return false;
}

int RunVosko(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    Help(args.empty() ? err : out, {IDS_CLI_HELP, IDS_CLI_HELP_MORE, IDS_CLI_HELP_MORE + 1, IDS_CLI_HELP + 1});
    return args.empty() ? kExitUsage : kExitOk;
  }
  if (args[0] == "--version") {
    out << "vosko " << VOSKO_VERSION << '\n';
    return kExitOk;
  }
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  const bool help = std::find(rest.begin(), rest.end(), "--help") != rest.end();
  using Run = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&, bool);
  static const struct {
    std::string_view name;
    unsigned help, moreHelp;  // moreHelp 0: none
    Run run;
    bool code_page = true;  // takes --codepage
    unsigned lastHelp = 0;  // 0: none
  } kCommands[] = {
      {"compile", IDS_CLI_HELP_COMPILE, IDS_CLI_HELP_COMPILE + 1, Compile},
      {"count", IDS_CLI_HELP_COUNT, 0, Count},
      {"list", IDS_CLI_HELP_LIST, IDS_CLI_HELP_LIST + 1, List},
      {"export", IDS_CLI_HELP_EXPORT, IDS_CLI_HELP_EXPORT_FORTUNE, Export},
      {"check", IDS_CLI_HELP_CHECK, IDS_CLI_HELP_CHECK + 1, Check},
      {"import", IDS_CLI_HELP_IMPORT, IDS_CLI_HELP_IMPORT_FORTUNE,
       [](const auto& rest, auto& out, auto& err, bool) { return NewQuoteFile("import", rest, out, err); }, true,
       IDS_CLI_HELP_NEW_FILE},
      {"recompile", IDS_CLI_HELP_RECOMPILE, IDS_CLI_HELP_NEW_FILE,
       [](const auto& rest, auto& out, auto& err, bool) { return NewQuoteFile("recompile", rest, out, err); }, false},
      {"new", IDS_CLI_HELP_NEW, IDS_CLI_HELP_NEW_FILE,
       [](const auto& rest, auto& out, auto& err, bool) { return NewQuoteFile("new", rest, out, err); }, false},
  };
  for (const auto& known : kCommands) {
    if (command != known.name) continue;
    if (!help) return known.run(rest, out, err, progress);
    out << TableText(known.help);
    if (known.moreHelp != 0) out << TableText(known.moreHelp);
    if (known.lastHelp != 0) out << TableText(known.lastHelp);
    if (known.code_page) out << TableText(IDS_CLI_HELP_CODEPAGE);
    return kExitOk;
  }
  Complain(err, IDS_CLI_UNKNOWN_COMMAND, {command});
  return kExitUsage;
}

}  // namespace vosko::cli
