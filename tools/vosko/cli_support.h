// What the commands of vosko share: their messages, their option scanner and the gathering
// of quote files from the names on the command line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_report.h"
#include "engine/text_file.h"
#include "contract/resource_ids.h"

namespace vosko::cli {

// A string-table text with its "%s" and "%d" filled in order.
std::string Text(unsigned id, std::initializer_list<std::string_view> values = {});
// "vosko: " and the text, on a line of standard error.
void Complain(std::ostream& err, unsigned id, std::initializer_list<std::string_view> values = {});

// The title and author of a new quote file, as the new-file dialogs take them: a title is
// needed, the author may be empty, and neither may hold a line end (it would start a line of
// its own in the template, which could be read as a quote).  False after a message.
bool TitleAndAuthorFit(const std::string& title, const std::string& author, std::ostream& err);

// The command line of one command: its options with values and its other words.
struct CommandLine {
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> words;
  bool help = false;
  std::optional<std::string> Option(std::string_view name) const;
};
// Scans `args` (the words after the command).  `valued` are the options that take a value
// ("-o", "--script"); "--" ends the options.  Nothing, after a message, on an unknown option
// or a missing value.
std::optional<CommandLine> ScanCommandLine(const std::vector<std::string>& args, std::string_view command,
                                           std::initializer_list<std::string_view> valued, std::ostream& err);

// The code page of "--codepage N", or the default: 1252, on Windows the system's ANSI code page
// when it is one of the built-in pages.  Nothing, after a message, for a page vosko lacks.
std::optional<const CodePage*> CodePageOption(const CommandLine& line, std::ostream& err);

// The quote files that `names` stand for, in order: a file as it is, a folder as its *.lsq
// files by name.  Nothing, after a message, when a name is missing, a folder holds no quote
// file, or a file is binary.
std::optional<std::vector<std::string>> GatherQuoteFiles(const std::vector<std::string>& names, std::ostream& err);

// The *.lsq files of a folder (any case of the extension), by name; folders are left out.
// Nothing when the folder cannot be listed.
std::optional<std::vector<std::string>> QuoteFilesIn(const std::string& folder);

// The engine's reports printed as the tool's messages, about the file the command is at.
class ConsoleReport final : public EngineReport {
 public:
  explicit ConsoleReport(std::ostream& err) : err_(err) {}
  void At(std::string file) { file_ = std::move(file); }
  // What a script that cannot be made is reported as (the script, or the output it is for).
  void ScriptMessage(unsigned id) { scriptMessage_ = id; }
  // What a file that cannot be opened is reported as (a quote file unless told otherwise).
  void OpenMessage(unsigned id) { openMessage_ = id; }
  void Report(unsigned stringId, unsigned number, ReportIcon icon, ReportOwner owner) override;
  int Reported() const { return reported_; }

 private:
  std::ostream& err_;
  std::string file_;
  unsigned scriptMessage_ = IDS_CLI_SCRIPT_UNWRITABLE;
  unsigned openMessage_ = IDS_CLI_UNREADABLE;
  int reported_ = 0;
};

// Moves a finished work file over `target` (which may exist): the one step that makes an output
// visible. False when the target keeps what it held.
bool ReplaceWithWorkFile(const std::string& work, const std::string& target);

// An output written whole or not at all: a work file beside the target (so the last step is
// a rename on one volume), renamed over the target by Commit and removed on every other way
// out.  A target that is one of the command's inputs is refused before anything is written.
class WholeOutput {
 public:
  explicit WholeOutput(std::string target) : target_(std::move(target)), work_(target_ + ".vosko.tmp") {}
  ~WholeOutput();
  WholeOutput(const WholeOutput&) = delete;
  WholeOutput& operator=(const WholeOutput&) = delete;
  // Opens the work file with `mode`; false after a message.
  bool Open(std::string_view mode, std::ostream& err);
  TextFile& File() { return file_; }
  // Closes and renames; false after a message when a write or the rename failed.
  bool Commit(std::ostream& err);
  const std::string& Target() const { return target_; }

 private:
  std::string target_, work_;
  TextFile file_;
  bool committed_ = false;
};

// The compile lock of a folder, the one the extension takes in its quote folder: its lock file
// (string IDS_COMPILE_LOCK_NAME) held so that no other compile can take it, released when this
// ends and by the system when the process ends, however it ends. Another compile is waited
// for about three seconds. A lock file that cannot be made for another reason is no lock, and
// not busy either: the output's own write says what is wrong with the folder.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // Another compile held the folder all the time.
  bool Busy() const { return busy_; }

 private:
  std::string path_;
  void* handle_ = nullptr;  // the lock file's handle (Windows)
  int fd_ = -1;             // the lock file's descriptor (elsewhere)
  bool busy_ = false;
};

// False after a message when `output` names the same file as one of `inputs`.
bool OutputIsNoInput(const std::string& output, const std::vector<std::string>& inputs, std::ostream& err);
// False after a message when `output` exists: new quote files never replace a file.
bool OutputIsNew(const std::string& output, std::ostream& err);
// The size of a file in bytes, 0 when it cannot be found.
std::int64_t FileSize(const std::string& path);
// False after a message when the file is binary (holds a NUL byte near its start).
bool IsTextFile(const std::string& path, std::ostream& err);

// The compiler's error lines (`compilerLines`, its console report) on standard error, each
// pointed at the quote file line it came from; lines not from a quote file are shown at
// `scriptName`.  `scratch` is a work path for the trace, removed afterwards.
void ReportRefusal(const std::vector<std::string>& files, const std::vector<std::string>& compilerLines,
                   const std::string& scratch, std::string_view scriptName, std::ostream& err,
                   const CodePage* page = nullptr);

// `progress`: standard error is a terminal, where runs over a second show how far they are.
int Compile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);
int Count(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);
int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);
int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);
int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);
// import, recompile and new: `command` says which.
int NewQuoteFile(std::string_view command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// import --from fortune and export --to fortune, over their scanned command lines; `output`
// is export's -o, `page` the code page of --codepage.
int ImportFortunes(const CommandLine& line, const CodePage& page, std::ostream& out, std::ostream& err);
int ExportFortunes(const CommandLine& line, const std::string& output, const CodePage& page, std::ostream& out,
                   std::ostream& err);

}  // namespace vosko::cli
