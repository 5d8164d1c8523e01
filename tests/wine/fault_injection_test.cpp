// Every command that writes, with each of its file steps failing in turn: the open, write,
// flush and close under the engine's files, the kernel's file calls, the settings writes.
// A clean run first tells the steps; then each step fails once, and the user must get the
// message of the table, no file of the user's may change, and no success may be shown.
#include "file_faults.h"
#include "harness.h"

#include "engine/message_text.h"
#include "contract/resource_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

namespace vtest {
namespace {

// What failing one step must lead to. The first row whose call and file match counts; every
// step of a command must have one.
struct FaultRow {
  std::vector<FileCall> calls;
  const char* file;  // the file's bare name, or "*.ext"; the key, for a settings write
  std::vector<std::string> boxes;
  // The command still did its whole work (the step lost nothing): the files end as after a
  // clean run. Otherwise the user's files and the home folder end as they were.
  bool done = false;
};

struct Command {
  const char* name;
  std::function<void()> prepare;        // the files before the extension opens (null: the standard ones)
  std::function<void()> run;            // the command, on the open extension
  std::vector<std::string> kept;        // the user's files
  std::vector<std::string> done_boxes;  // what a clean run shows
  std::vector<FaultRow> rows;
  std::set<std::string> work_files = {};         // may stay in the quote folder after a failure
  std::map<std::string, std::string> made = {};  // files a clean run must leave, bytes or kAbsent
  std::function<void()> check = [] {};           // more to look at after a clean run
  bool records_kept = false;                     // a failing run leaves the compile records as they were
};

// What a new quote file holds after its template (the template ends with string 458).
std::string AfterTemplate(const std::string& bytes) {
  const std::string last = Text(458) + "\r\n";
  const std::size_t at = bytes.find(last);
  return at == std::string::npos ? "<no template>" : bytes.substr(at + last.size());
}

const std::vector<FileCall> kWriteSteps = {FileCall::kFwrite, FileCall::kFflush, FileCall::kFclose};
const std::vector<FileCall> kAllSteps = {FileCall::kFopen, FileCall::kFwrite, FileCall::kFflush, FileCall::kFclose};
const std::vector<FileCall> kReadEnd = {FileCall::kFflush, FileCall::kFclose};  // a file only read

bool Matches(const FaultRow& row, const FileStep& step) {
  const std::string pattern = row.file;
  if (std::find(row.calls.begin(), row.calls.end(), step.call) == row.calls.end()) return false;
  if (pattern.starts_with("*")) return step.file.ends_with(pattern.substr(1));
  return step.file == pattern;
}

class FaultInjectionTest : public ExtensionTest {
 protected:
  // The files of the run's end: the user's files, and the names in both folders.
  struct Files {
    std::map<std::string, std::string> kept;
    std::set<std::string> home, quotes;
    std::string records;
  };
  Files Take(const Command& command) const {
    char records[4096] = {};
    const DWORD size = GetPrivateProfileSectionA("VoskoFiles", records, sizeof records, settings_file().c_str());
    Files files{{}, FilesIn(home_), FilesIn(quotes_), std::string(records, size)};
    for (const std::string& path : command.kept) files.kept[path] = ReadFileBytes(path);
    return files;
  }

  // Runs the command cleanly, then once for each of its steps with that step failing.
  void Sweep(const Command& command) {
    FileFaults faults(PreloadLibrary());
    ASSERT_TRUE(faults.ok());
    Files before, clean;
    const auto once = [&](const FileStep& fail) {
      EmptyFolders();
      command.prepare ? command.prepare() : StandardFiles();
      before = Take(command);
      ASSERT_EQ(OpenAndShow(), 1);
      modal.Clear();
      faults.Arm(fail);
      command.run();
      faults.Disarm();
      // However the command ended, it left no progress bar behind.
      EXPECT_EQ(FindWindowExA(main_window(), nullptr, PROGRESS_CLASSA, nullptr), nullptr) << command.name;
      if (StatusBar() != nullptr) {
        EXPECT_EQ(StatusText(StatusBar(), 0), Text(IDS_STATUS_IDLE)) << command.name;
      }
      Close();
    };
    once({FileCall::kFopen, 0, ""});
    clean = Take(command);
    const std::vector<FileStep> steps = faults.steps();
    ASSERT_EQ(modal.box_texts(), command.done_boxes) << command.name;
    for (const auto& [path, bytes] : command.made)
      EXPECT_EQ(ReadFileBytes(path), bytes) << command.name << ": " << path;
    command.check();
    // A step that loses nothing is failed once per row: the flushes and closes of the files
    // a command only reads all take the same way.
    std::set<const FaultRow*> harmless_tried;
    for (const FileStep& step : steps) {
      const std::string what = std::string(command.name) + ", " + FileCallName(step.call) + " #" +
                               std::to_string(step.nth) + " (" + step.file + ")";
      const auto row =
          std::find_if(command.rows.begin(), command.rows.end(), [&](const FaultRow& r) { return Matches(r, step); });
      if (row == command.rows.end()) {
        ADD_FAILURE() << what << ": no row says what this failure must do";
        continue;
      }
      const bool harmless = row->done && row->boxes == command.done_boxes;
      if (harmless && !harmless_tried.insert(&*row).second) continue;
      once(step);
      EXPECT_TRUE(faults.fired()) << what;
      EXPECT_EQ(modal.box_texts(), row->boxes) << what;
      const Files after = Take(command);
      if (row->done) {
        EXPECT_EQ(after.kept, clean.kept) << what;
        EXPECT_EQ(after.home, clean.home) << what;
        EXPECT_EQ(after.quotes, clean.quotes) << what;
      } else {
        EXPECT_EQ(after.kept, before.kept) << what;
        EXPECT_EQ(after.home, before.home) << what;
        if (command.records_kept) {
          EXPECT_EQ(after.records, before.records) << what;
        }
        for (const std::string& name : after.quotes) {
          EXPECT_TRUE(before.quotes.contains(name) || command.work_files.contains(name)) << what << ": " << name;
        }
      }
    }
  }

  const std::string open_failed_ = WithNumber(IDS_OPEN_FAILED, 65535);
  const std::string write_failed_ = WithNumber(IDS_FILE_WRITE_FAILED, 65535);
};

TEST_F(FaultInjectionTest, Compile) {
  const std::string done = vosko::FillMessageTexts(Text(IDS_COMPILE_DONE), {"3", "6"});
  const std::string script_failed = WithNumber(IDS_SCRIPT_WRITE_FAILED, 65535);
  Sweep({"compile",
         {},
         [this] {
           SelectListRows(ListView(), {0, 1}, 0);
           Press(IDC_COMPILE);
           EXPECT_NE(ReadSetting("VoskoFiles", "a.lsq"), "<missing>");
         },
         {Pms(), Quotes("a.lsq"), Quotes("b.lsq")},
         {done},
         {
             {{FileCall::kFopen}, "rquotes.r", {Text(IDS_SCRIPT_OPEN_FAILED)}},
             {kWriteSteps, "rquotes.r", {script_failed}},
             {{FileCall::kFopen}, "*.lsq", {open_failed_}},
             // Quote files are opened for update but only read: their close loses nothing.
             {kReadEnd, "*.lsq", {done}, true},
             {{FileCall::kWriteProfileString}, "*.lsq", {done, write_failed_}, true},
             {{FileCall::kCopyFile}, "Tarno.pm.bak", {done, write_failed_}, true},
             {kAllSteps, "rescom.exe", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1002)}},
             {kAllSteps, "rescom.bat", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1003)}},
             // An unread report cannot tell what the compiler made: rquotes.pms stays.
             {{FileCall::kFopen}, "rquotes.txt", {Text(IDS_COMPILE_NO_OUTPUT)}},
             {kReadEnd, "rquotes.txt", {done}, true},
             // A report file that cannot be made for the compiler sends the batch file to the shell.
             {{FileCall::kCreateFile, FileCall::kCloseHandle}, "rquotes.txt", {done}, true},
             {{FileCall::kCopyFile}, "rquotes.pms.tmp", {write_failed_}},
             {{FileCall::kMoveFileEx}, "rquotes.pms", {write_failed_}},
             // A lock that cannot be made is no lock: the compile goes on.
             {{FileCall::kCreateFile, FileCall::kCloseHandle}, "rquotes.lck", {done}, true},
         },
         {"rquotes.r"},
         // Three texts, the largest of 6 bytes, 14 in all, at offsets 0, 4 and 8.
         {{Pms(), std::string("VOSKOQTS000100000003000000060000000E000000000000000400000008\xFF"
                              "one\0two\0three\0",
                              75)}},
         [this] {
           // Each file's count, stamped with the compile's time.
           EXPECT_EQ(ReadSetting("VoskoFiles", "a.lsq").substr(16), ",2");
           EXPECT_EQ(ReadSetting("VoskoFiles", "b.lsq").substr(16), ",1");
           EXPECT_NE(ReadSetting("VoskoFiles", "b.lsq").substr(0, 4), "0000");
         },
         true});
}

TEST_F(FaultInjectionTest, Rescan) {
  Sweep({"rescan",
         {},
         [this] {
           Press(IDC_RESCAN);
           EXPECT_NE(ReadSetting("VoskoFiles", "a.lsq"), "<missing>");
         },
         {Quotes("a.lsq"), Quotes("b.lsq")},
         {},
         {
             {{FileCall::kFopen}, "*.lsq", {open_failed_}},
             {kReadEnd, "*.lsq", {}, true},
             {{FileCall::kWriteProfileString, FileCall::kCopyFile}, "*", {write_failed_}, true},
         },
         {},
         {},
         [this] {  // the counts of now, the compile dates of before
           EXPECT_EQ(ReadSetting("VoskoFiles", "a.lsq"), "07EA,0C,05,0E,07,2");
           EXPECT_EQ(ReadSetting("VoskoFiles", "b.lsq"), "0000,00,00,00,00,1");
         }});
}

// A new file that cannot be written whole is removed, and the dialog stays open. A file to
// make it from that cannot be opened makes no file at all.
TEST_F(FaultInjectionTest, NewImportRecompile) {
  const std::vector<FaultRow> new_file = {
      {{FileCall::kFopen}, "new.lsq", {open_failed_}},
      {kWriteSteps, "new.lsq", {write_failed_}},
  };
  const auto with = [&](std::vector<FaultRow> rows) {
    rows.insert(rows.begin(), new_file.begin(), new_file.end());
    return rows;
  };
  Sweep({"new",
         {},
         [this] {
           CreateThrough(IDC_NEW, {{IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, "new"}});
         },
         {Quotes("a.lsq"), Quotes("b.lsq")},
         {},
         new_file,
         {},
         {},
         [this] {
           const std::string made = ReadFileBytes(Quotes("new.lsq"));
           EXPECT_NE(made.find("\r\n@@TITLE=T\r\n"), std::string::npos) << made;
           EXPECT_EQ(AfterTemplate(made), "");
         }});
  const std::string text_file = Home("in.txt");
  Sweep({"import",
         [&] {
           StandardFiles();
           WriteFileBytes(text_file,
                          "The quick brown fox jumps over the lazy dog and then runs far away into the woods.\r\n"
                          "Second line.\r\n");
         },
         [&] {
           CreateThrough(IDC_IMPORT, {{IDC_NEW_TITLE, "T"},
                                      {IDC_NEW_FILE_NAME, "new"},
                                      {IDC_NEW_IMPORT_FILE, text_file},
                                      {IDC_NEW_LINE_LENGTH, "46"}});
         },
         {text_file},
         {},
         with({
             {{FileCall::kFopen}, "in.txt", {Text(IDS_IMPORT_OPEN_FAILED)}},
             {kReadEnd, "in.txt", {}, true},
         }),
         {},
         {},
         [this] {  // each line wrapped at a word to at most 46 characters, then a quote end
           EXPECT_EQ(AfterTemplate(ReadFileBytes(Quotes("new.lsq"))),
                     "\r\nThe quick brown fox jumps over the lazy dog \r\nand then runs far away into the woods.\r\n"
                     " \r\n\r\nSecond line.\r\n \r\n");
         }});
  Sweep({"recompile",
         {},
         [this] {
           CreateThrough(IDC_RECOMPILE, {{IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, "new"}});
         },
         {Pms()},
         {},
         with({
             {{FileCall::kFopen}, "rquotes.pms", {open_failed_}},
             {kReadEnd, "rquotes.pms", {}, true},
         }),
         {},
         {},
         [this] { EXPECT_EQ(AfterTemplate(ReadFileBytes(Quotes("new.lsq"))), "A\r\n\r\nB1\r\nB2\r\n\r\n"); }});
}

TEST_F(FaultInjectionTest, ExportAndPaste) {
  const std::string target = Home("export.txt");
  Sweep({"export",
         [&] {
           StandardFiles();
           // A quote's lines make one line; comments and directives are left out.
           WriteQuoteFile("a.lsq", "@@TITLE=A\r\none\r\ntwo   ## note\r\n\r\nthree\r\n");
           WriteQuoteFile("b.lsq", "@@TITLE=B\r\nfour\r\n@@HEADER=h\r\nfive\r\n");
           WriteFileBytes(target, "old");
         },
         [&] {
           modal.ExpectDialog([&](HWND dialog) {
             SetField(dialog, IDC_EXPORT_FILE, target);
             PressDialogButton(dialog, IDC_EXPORT_OK);
           });
           SelectListRows(ListView(), {0, 1}, 0);
           Press(IDC_EXPORT);
         },
         {target},
         {},
         {
             {{FileCall::kGetTempFileName, FileCall::kFopen}, "*", {open_failed_}},
             {kWriteSteps, "*.tmp", {write_failed_}},
             {{FileCall::kMoveFileEx}, "export.txt", {write_failed_}},
             {kReadEnd, "*.lsq", {}, true},
         },
         {},
         {{target, "one two\r\nthree\r\nfour\r\nfive"}}});
  // A quote file that cannot be opened for writing is left alone without a word, as a
  // read-only one is; a failed write or close cuts it back to its old end.
  Sweep({"paste",
         [this] {
           StandardFiles("Close Vosko after Paste=0\r\n");
           PutClipboardText("pasted");
         },
         [this] {
           SelectListRows(ListView(), {1}, 1);
           Press(IDC_PASTE);
         },
         {Quotes("b.lsq")},
         {"Added 1 lines to quote file \"B\"..."},
         {
             {{FileCall::kCreateFile}, "b.lsq", {}},
             {{FileCall::kWriteFile, FileCall::kCloseHandle}, "b.lsq", {write_failed_}},
         },
         {},
         {{Quotes("b.lsq"), std::string(kFileB) + "\r\npasted\r\n"}}});
}

// The settings file is written key by key through the profile functions, by a writer that
// may cut the file short while reporting success; a batch of keys that cannot be written
// whole is said once, and the file holds its bytes of before.
TEST_F(FaultInjectionTest, Settings) {
  const std::vector<FaultRow> settings_rows = {
      {{FileCall::kWriteProfileString, FileCall::kCopyFile}, "*", {write_failed_}, true}};
  const auto kept_or_written = [this](const std::function<void()>& write) {
    const std::string before = ReadFileBytes(settings_file());
    write();
    EXPECT_EQ(ReadSetting("VoskoFiles", "a.lsq"), "07EA,0C,05,0E,07,9");
    if (!modal.box_texts().empty()) {
      EXPECT_EQ(ReadFileBytes(settings_file()), before);
    }
  };
  Sweep({"options",
         {},
         [&] {
           kept_or_written([this] {
             modal.ExpectDialog([](HWND dialog) { PressDialogButton(dialog, IDC_OPT_OK); });
             Press(IDC_OPTIONS);
           });
         },
         {},
         {},
         settings_rows});
  Sweep({"close", {}, [&] { kept_or_written([this] { Close(); }); }, {}, {}, settings_rows});
  // The host's file-type list ends with the registration line whole, or as it was.
  const std::string list = Home("filetype.pm");
  Sweep({"file type",
         [&] {
           StandardFiles();
           WriteFileBytes(list, "old");
         },
         [&] {
           Close();
           WriteFileBytes(list, "old");
           OpenAndShow();
         },
         {list},
         {},
         {settings_rows[0],
          {{FileCall::kFopen}, "filetype.pm", {Text(IDS_NO_FILE_TYPE_LIST)}},
          {{FileCall::kCreateFile, FileCall::kWriteFile, FileCall::kCloseHandle}, "filetype.pm", {}},
          {{FileCall::kFopen}, "*.lsq", {open_failed_}, true},
          {kReadEnd, "*", {}, true}},
         {},
         {{list, "old\r\n" + Text(IDS_FILE_TYPE_LINE) + "\r\n"}}});
}

}  // namespace
}  // namespace vtest
