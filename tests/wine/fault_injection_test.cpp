// Every command that writes, with each of its file steps failing in turn: the open, write,
// flush and close under the engine's files, the kernel's file calls, the settings writes.
// A clean run first tells the steps; then each step fails once, and the user must get the
// message of the table, no file of the user's may change, and no success may be shown.
// Each run prints one line of the fault matrix.
#include "file_faults.h"
#include "harness.h"

#include "dialog_driver.h"
#include "engine/message_text.h"
#include "contract/resource_ids.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace vtest {
namespace {

// What failing one step must lead to. The first row whose call and file match counts; every
// step of a command must have one.
struct FaultRow {
  FileCall call;
  const char* file;  // the file's bare name, or "*.ext"; the key, for a settings write
  std::vector<std::string> boxes;
  // The command still did its whole work (the step lost nothing): the files end as after a
  // clean run. Otherwise the user's files and the home folder end as they were.
  bool done = false;
};

struct Command {
  const char* name;
  std::function<void()> prepare;        // the files before the extension opens
  std::function<void()> run;            // the command, on the open extension
  std::vector<std::string> kept;        // the user's files
  std::vector<std::string> done_boxes;  // what a clean run shows
  std::vector<FaultRow> rows;
  std::set<std::string> work_files = {};  // may stay in the quote folder after a failure
};

bool Matches(const FaultRow& row, const FileStep& step) {
  const std::string pattern = row.file;
  if (row.call != step.call) return false;
  if (pattern.starts_with("*")) return step.file.ends_with(pattern.substr(1));
  return step.file == pattern;
}

std::string WithNumber(unsigned id, int number) {
  std::string text = Text(id);
  return text.replace(text.find("%d"), 2, std::to_string(number));
}

std::string Brief(const std::vector<std::string>& texts) {
  std::string joined;
  for (std::string text : texts) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    joined += (joined.empty() ? "" : " + ") + text.substr(0, 48);
  }
  return joined.empty() ? "no message" : joined;
}

class FaultInjectionTest : public ExtensionTest {
 protected:
  // The files of the run's end: the user's files, and the names in both folders.
  struct Files {
    std::map<std::string, std::string> kept;
    std::set<std::string> home, quotes;
  };
  Files Take(const Command& command) const {
    Files files{{}, FilesIn(home_->path()), FilesIn(quotes_->path())};
    for (const std::string& path : command.kept) files.kept[path] = ReadFileBytes(path);
    return files;
  }

  // Runs the command cleanly, then once for each of its steps with that step failing.
  void Sweep(const Command& command) {
    FileFaults faults(PreloadLibrary());
    ASSERT_TRUE(faults.ok());
    Files before, clean;
    const auto once = [&](const FileStep& fail) {
      for (TempFolder* folder : {home_.get(), quotes_.get()}) {
        for (const std::string& name : FilesIn(folder->path())) DeleteFileA(folder->File(name).c_str());
      }
      command.prepare();
      before = Take(command);
      ASSERT_EQ(OpenAndShow(), 1);
      modal.Clear();
      faults.Arm(fail);
      command.run();
      faults.Disarm();
      Close();
    };
    once({FileCall::kFopen, 0, ""});
    clean = Take(command);
    const std::vector<FileStep> steps = faults.steps();
    ASSERT_EQ(modal.box_texts(), command.done_boxes) << command.name;
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
        for (const std::string& name : after.quotes) {
          EXPECT_TRUE(before.quotes.contains(name) || command.work_files.contains(name)) << what << ": " << name;
        }
      }
      std::printf("[matrix] %s -> %s; %s\n", what.c_str(), Brief(modal.box_texts()).c_str(),
                  row->done ? "done" : "user files as they were");
    }
  }

  void SelectAndPress(std::vector<int> rows, int button) {
    SelectListRows(ListView(), rows, rows[0]);
    Press(button);
  }

  // Presses New, or Import or Recompile in the Options dialog, and fills the dialog: OK, then
  // Cancel, which only acts when OK left it open.
  void CreateThrough(int button, const std::vector<std::pair<int, std::string>>& fields) {
    const auto fill = [fields](HWND dialog) {
      for (const auto& [id, text] : fields) SetField(dialog, id, text);
      PressDialogButton(dialog, IDC_NEW_OK);
      PressDialogButton(dialog, IDC_NEW_CANCEL);
    };
    if (button != IDC_NEW) {
      modal.ExpectDialog([button](HWND options) {
        PressDialogButton(options, button);
        PressDialogButton(options, IDC_OPT_CANCEL);
      });
    }
    modal.ExpectDialog(fill);
    Press(button == IDC_NEW ? IDC_NEW : IDC_OPTIONS);
  }

  std::string Pms() const { return home_->File("rquotes.pms"); }
  std::string Quotes(const char* name) const { return quotes_->File(name); }
  void TwoQuoteFiles(const std::string& settings = "") {
    WriteQuoteFile("a.lsq", "@@TITLE=A\r\none\r\n\r\ntwo\r\n");
    WriteQuoteFile("b.lsq", "@@TITLE=B\r\nthree\r\n");
    WriteSettings(settings, "a.lsq=07EA,0C,05,0E,07,9\r\n");
    WriteFileBytes(Pms(), std::string("head\xFF", 5) + std::string("A\0B1\nB2\0", 8));
  }

  const std::string open_failed_ = WithNumber(IDS_OPEN_FAILED, 65535);
  const std::string write_failed_ = WithNumber(IDS_FILE_WRITE_FAILED, 65535);
};

TEST_F(FaultInjectionTest, Compile) {
  const std::string done = vosko::FillMessageTexts(Text(IDS_COMPILE_DONE), {"3", "6"});
  const std::string script_failed = WithNumber(IDS_SCRIPT_WRITE_FAILED, 65535);
  Sweep({"compile",
         [this] { TwoQuoteFiles(); },
         [this] {
           SelectAndPress({0, 1}, IDC_COMPILE);
         },
         {Pms(), Quotes("a.lsq"), Quotes("b.lsq")},
         {done},
         {
             {FileCall::kFopen, "rquotes.r", {Text(IDS_SCRIPT_OPEN_FAILED)}},
             {FileCall::kFwrite, "rquotes.r", {script_failed}},
             {FileCall::kFflush, "rquotes.r", {script_failed}},
             {FileCall::kFclose, "rquotes.r", {script_failed}},
             {FileCall::kFopen, "*.lsq", {open_failed_}},
             // Quote files are opened for update but only read: their close loses nothing.
             {FileCall::kFflush, "*.lsq", {done}, true},
             {FileCall::kFclose, "*.lsq", {done}, true},
             {FileCall::kWriteProfileString, "*.lsq", {done, write_failed_}, true},
             {FileCall::kFopen, "rescom.exe", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1002)}},
             {FileCall::kFwrite, "rescom.exe", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1002)}},
             {FileCall::kFflush, "rescom.exe", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1002)}},
             {FileCall::kFclose, "rescom.exe", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1002)}},
             {FileCall::kFopen, "rescom.bat", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1003)}},
             {FileCall::kFwrite, "rescom.bat", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1003)}},
             {FileCall::kFflush, "rescom.bat", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1003)}},
             {FileCall::kFclose, "rescom.bat", {WithNumber(IDS_COMPILER_LAUNCH_FAILED, 1003)}},
             // An unread report cannot tell what the compiler made: rquotes.pms stays.
             {FileCall::kFopen, "rquotes.txt", {Text(IDS_COMPILE_NO_OUTPUT)}},
             {FileCall::kFflush, "rquotes.txt", {done}, true},
             {FileCall::kFclose, "rquotes.txt", {done}, true},
             {FileCall::kCopyFile, "rquotes.pms.tmp", {write_failed_}},
             {FileCall::kMoveFileEx, "rquotes.pms", {write_failed_}},
         },
         {"rquotes.r", "rescom.exe", "rescom.bat"}});
}

TEST_F(FaultInjectionTest, Rescan) {
  Sweep({"rescan",
         [this] { TwoQuoteFiles(); },
         [this] { Press(IDC_RESCAN); },
         {Quotes("a.lsq"), Quotes("b.lsq")},
         {},
         {
             {FileCall::kFopen, "*.lsq", {open_failed_}},
             {FileCall::kFflush, "*.lsq", {}, true},
             {FileCall::kFclose, "*.lsq", {}, true},
             {FileCall::kWriteProfileString, "*.lsq", {write_failed_}, true},
         }});
}

// A new file that cannot be written whole is removed, and the dialog stays open. A file to
// make it from that cannot be opened leaves the template only, listed.
TEST_F(FaultInjectionTest, NewImportRecompile) {
  const std::vector<FaultRow> new_file = {
      {FileCall::kFopen, "new.lsq", {open_failed_}},
      {FileCall::kFwrite, "new.lsq", {write_failed_}},
      {FileCall::kFflush, "new.lsq", {write_failed_}},
      {FileCall::kFclose, "new.lsq", {write_failed_}},
  };
  const auto with = [&](std::vector<FaultRow> rows) {
    rows.insert(rows.begin(), new_file.begin(), new_file.end());
    return rows;
  };
  Sweep({"new",
         [this] { TwoQuoteFiles(); },
         [this] {
           CreateThrough(IDC_NEW, {{IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, "new"}});
         },
         {Quotes("a.lsq"), Quotes("b.lsq")},
         {},
         new_file});
  const std::string text_file = home_->File("in.txt");
  Sweep({"import",
         [&] {
           TwoQuoteFiles();
           WriteFileBytes(text_file, "one\r\ntwo\r\n");
         },
         [&] {
           CreateThrough(IDC_IMPORT, {{IDC_NEW_TITLE, "T"},
                                      {IDC_NEW_FILE_NAME, "new"},
                                      {IDC_NEW_IMPORT_FILE, text_file},
                                      {IDC_NEW_LINE_LENGTH, "50"}});
         },
         {text_file},
         {},
         with({
             {FileCall::kFopen, "in.txt", {Text(IDS_IMPORT_OPEN_FAILED)}, true},
             {FileCall::kFflush, "in.txt", {}, true},
             {FileCall::kFclose, "in.txt", {}, true},
         })});
  Sweep({"recompile",
         [this] { TwoQuoteFiles(); },
         [this] {
           CreateThrough(IDC_RECOMPILE, {{IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, "new"}});
         },
         {Pms()},
         {},
         with({
             {FileCall::kFopen, "rquotes.pms", {open_failed_}, true},
             {FileCall::kFflush, "rquotes.pms", {}, true},
             {FileCall::kFclose, "rquotes.pms", {}, true},
         })});
}

TEST_F(FaultInjectionTest, ExportAndPaste) {
  const std::string target = home_->File("export.txt");
  Sweep({"export",
         [&] {
           TwoQuoteFiles();
           WriteFileBytes(target, "old");
         },
         [&] {
           modal.ExpectDialog([&](HWND dialog) {
             SetField(dialog, IDC_EXPORT_FILE, target);
             PressDialogButton(dialog, IDC_EXPORT_OK);
           });
           SelectAndPress({0, 1}, IDC_EXPORT);
         },
         {target},
         {},
         {
             {FileCall::kGetTempFileName, "*", {open_failed_}},
             {FileCall::kFopen, "*.tmp", {open_failed_}},
             {FileCall::kFwrite, "*.tmp", {write_failed_}},
             {FileCall::kFflush, "*.tmp", {write_failed_}},
             {FileCall::kFclose, "*.tmp", {write_failed_}},
             {FileCall::kMoveFileEx, "export.txt", {write_failed_}},
             {FileCall::kFopen, "*.lsq", {open_failed_}},
             {FileCall::kFflush, "*.lsq", {}, true},
             {FileCall::kFclose, "*.lsq", {}, true},
         }});
  // A quote file that cannot be opened for writing is left alone without a word, as a
  // read-only one is; a failed write or close cuts it back to its old end.
  Sweep({"paste",
         [this] {
           TwoQuoteFiles("Close Vosko after Paste=0\r\n");
           PutClipboardText("pasted");
         },
         [this] { SelectAndPress({1}, IDC_PASTE); },
         {Quotes("b.lsq")},
         {"Added 1 lines to quote file \"B\"..."},
         {
             {FileCall::kCreateFile, "b.lsq", {}},
             {FileCall::kWriteFile, "b.lsq", {write_failed_}},
             {FileCall::kCloseHandle, "b.lsq", {write_failed_}},
         }});
}

// The settings file is written key by key through the profile functions; a key that cannot
// be written is said once, and the other keys and the compile records stay.
TEST_F(FaultInjectionTest, Settings) {
  Sweep({"options",
         [this] { TwoQuoteFiles(); },
         [this] {
           modal.ExpectDialog([](HWND dialog) { PressDialogButton(dialog, IDC_OPT_OK); });
           Press(IDC_OPTIONS);
           EXPECT_EQ(ReadSetting("VoskoFiles", "a.lsq"), "07EA,0C,05,0E,07,9");
         },
         {},
         {},
         {{FileCall::kWriteProfileString, "*", {write_failed_}, true}}});
  Sweep({"close",
         [this] { TwoQuoteFiles(); },
         [this] {
           Close();
           EXPECT_EQ(ReadSetting("VoskoFiles", "a.lsq"), "07EA,0C,05,0E,07,9");
         },
         {},
         {},
         {{FileCall::kWriteProfileString, "*", {write_failed_}, true}}});
}

}  // namespace
}  // namespace vtest
