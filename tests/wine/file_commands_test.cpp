// The main window's commands on quote files, pressed as the user does: Edit, Delete, Paste
// and Export, end to end in the test host.
#include "harness.h"

#include "dialog_driver.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

#include <commctrl.h>

namespace vtest {
namespace {

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int FocusedSelected(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
}

class FileCommandsTest : public ExtensionTest {
 protected:
  // Three quote files a, b, c with the titles A, B and `last_title`; the settings lines given.
  void OpenOnThreeFiles(const std::string& last_title, const std::string& settings) {
    WriteQuoteFile("a.lsq", "@@TITLE=A\r\none\r\n");
    WriteQuoteFile("b.lsq", "@@TITLE=B\r\ntwo\r\n");
    WriteQuoteFile("c.lsq", "@@TITLE=" + last_title + "\r\nthree\r\n");
    WriteSettings(settings);
    ASSERT_EQ(OpenAndShow(), 1);
    ASSERT_EQ(ListRows(ListView()).size(), 3u);
  }
};

TEST_F(FileCommandsTest, DeleteAsksAndKeepsTheListTrueToTheFolder) {
  const std::string long_title(186, 'Z');
  std::string question = Text(IDS_DELETE_QUESTION);
  const auto asked = [&](const std::string& title) {
    return question.substr(0, question.find("%s")) + title + question.substr(question.find("%s") + 2);
  };
  enum Before { kNothing, kRemoved, kHeldOpen };
  const struct {
    const char* what;
    std::string title;
    Before before;
    int answer;
    std::vector<std::string> boxes;
    size_t rows;
    bool file_stays;
    int focused;
  } cases[] = {
      {"yes", "C", kNothing, IDYES, {asked("C")}, 2, false, 1},
      {"already gone", "C", kRemoved, IDYES, {asked("C")}, 2, false, 1},
      {"186-character title, no", long_title, kNothing, IDNO, {question}, 3, true, 2},
      {"held open",
       "C",
       kHeldOpen,
       IDYES,
       {asked("C"),
        "Windows returned error 32 while trying to delete the quote file. It may be open in another "
        "program or read-only..."},
       3,
       true,
       2},
  };
  for (const auto& c : cases) {
    // Details view with the Filename column hidden: the list holds no file name cell.
    OpenOnThreeFiles(c.title, "ViewOption=3\r\nVisibleColumns=0001,0001,0001,0001,0001,0001,0001,0000\r\n");
    SelectListRows(ListView(), {2}, 2);
    const std::string target = quotes_->File("c.lsq");
    if (c.before == kRemoved) DeleteFileA(target.c_str());
    HANDLE held = c.before == kHeldOpen
                      ? CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE;
    modal.Clear();
    modal.AnswerBoxesWith({c.answer});
    Press(IDC_DELETE);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(modal.box_texts(), c.boxes) << c.what;
    ASSERT_FALSE(modal.boxes().empty()) << c.what;
    EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION)) << c.what;
    EXPECT_EQ(ListRows(ListView()).size(), c.rows) << c.what;
    EXPECT_EQ(FileExists(target), c.file_stays) << c.what;
    EXPECT_TRUE(FileExists(quotes_->File("a.lsq")) && FileExists(quotes_->File("b.lsq"))) << c.what;
    EXPECT_EQ(FocusedSelected(ListView()), c.focused) << c.what;
    Close();
  }
}

TEST_F(FileCommandsTest, EditStartsTheEditorOnTheQuotedPath) {
  const std::string editor = BesideTheProgram("vosko_test_editor.exe");
  const std::string log = home_->File("editor.log");
  SetEnvironmentVariableA("VOSKO_TEST_EDITOR_LOG", log.c_str());
  const std::string spaced = quotes_->path() + "\\my quote files";
  CreateDirectoryA(spaced.c_str(), nullptr);
  const struct {
    const char* what;
    std::string folder;
    std::string editor;
    int maximize;
    std::string recorded;  // empty: the editor does not start
    std::string message;
  } cases[] = {
      {"maximised", quotes_->path(), editor, 1, "show=3\narg=" + quotes_->File("a.lsq") + "\n", ""},
      {"normal window, folder with spaces", spaced, editor, 0, "show=5\narg=" + spaced + "\\a.lsq\n", ""},
      {"no such editor", quotes_->path(), quotes_->File("no-editor.exe"), 1, "",
       "Vosko encountered error 2 while trying to launch your default editor..."},
  };
  for (const auto& c : cases) {
    WriteFileBytes(c.folder + "\\a.lsq", "@@TITLE=A\r\n");
    WriteFileBytes(settings_file(), "[Vosko]\r\nQuoteFolder=" + c.folder + "\r\nDefaultTextEditor=" + c.editor +
                                        "\r\nMaximizeEditor=" + std::to_string(c.maximize) + "\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    SelectListRows(ListView(), {0}, 0);
    DeleteFileA(log.c_str());
    modal.Clear();
    Press(IDC_EDIT);
    if (!c.recorded.empty()) {
      // The editor runs on its own; wait for its record (a deadline, not a measurement). Under
      // Wine the renamed record can read empty for a moment after it appears.
      for (int i = 0; i < 600 && ReadFileBytes(log).empty(); ++i) Sleep(50);
      EXPECT_EQ(ReadFileBytes(log), c.recorded) << c.what;
      EXPECT_TRUE(modal.boxes().empty()) << c.what;
    } else {
      ASSERT_EQ(modal.boxes().size(), 1u) << c.what;
      EXPECT_EQ(modal.boxes()[0].text, c.message);
      EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONHAND));
    }
    EXPECT_EQ(GetFocus(), ListView()) << c.what;
    Close();
  }
  SetEnvironmentVariableA("VOSKO_TEST_EDITOR_LOG", nullptr);
}

// Wine ends every clipboard text within its block, so a text without a terminator cannot be
// put there; the refusal of such a block is an engine test.
TEST_F(FileCommandsTest, PasteAppendsTheClipboardAsAQuote) {
  const std::string file = "@@TITLE=P\r\nq\r\n";
  const std::string added = "Added %d lines to quote file \"P\"...";
  const auto lines = [&](int n) {
    return std::vector<std::string>{added.substr(0, 6) + std::to_string(n) + added.substr(8)};
  };
  const struct {
    const char* what;
    std::string file;
    std::string clipboard;
    bool focused;
    bool read_only;
    std::string appended;  // empty: nothing may change
    std::vector<std::string> boxes;
  } cases[] = {
      {"two lines", file, "one\r\ntwo", true, false, "\r\none\r\ntwo\r\n", lines(2)},
      {"an empty line holds a CR", file, "one\r\n\r\ntwo", true, false, "\r\none\r\n\r\ntwo\r\n", lines(3)},
      {"line feeds only", file, "one\n\ntwo", true, false, "\r\none\n\ntwo\r\n", lines(2)},
      {"no line end at the file's end", "@@TITLE=P\r\nq", "x", true, false, "\r\nx\r\n", lines(1)},
      {"selected, not focused", file, "one", false, false, "", {}},
      {"read-only quote file", file, "one", true, true, "", {}},
  };
  for (const auto& c : cases) {
    WriteQuoteFile("p.lsq", c.file);
    // Details view with the Filename column hidden: the name comes from the row's entry.
    WriteSettings(
        "ViewOption=3\r\nVisibleColumns=0001,0001,0001,0001,0001,0001,0001,0000\r\n"
        "Close Vosko after Paste=1\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    SelectListRows(ListView(), {0}, c.focused ? 0 : -1);
    ASSERT_TRUE(PutClipboardText(c.clipboard)) << c.what;
    if (c.read_only) SetFileAttributesA(quotes_->File("p.lsq").c_str(), FILE_ATTRIBUTE_READONLY);
    modal.Clear();
    Press(IDC_PASTE);
    SetFileAttributesA(quotes_->File("p.lsq").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(quotes_->File("p.lsq")), c.file + c.appended) << c.what;
    EXPECT_EQ(modal.box_texts(), c.boxes) << c.what;
    for (const MessageBoxRecord& box : modal.boxes()) EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONINFORMATION));
    // Only a paste that added the text closes the window.
    EXPECT_EQ(session_->log().close_requests, c.appended.empty() ? 0 : 1) << c.what;
    Close();
  }
}

TEST_F(FileCommandsTest, ExportWritesOneLinePerQuoteOrLeavesTheTargetAlone) {
  const std::string out = home_->File("out");
  CreateDirectoryA(out.c_str(), nullptr);
  const std::string target = out + "\\export.txt";
  const std::string both = "one two\r\nthree\r\nfour\r\nfive";
  enum Step { kOk, kBrowseThenOk, kOkEmptyThenCancel, kNone };
  const struct {
    const char* what;
    std::vector<int> selected;
    Step press;
    bool hold_b;
    std::vector<int> answers;
    std::vector<std::string> boxes;
    std::string exported;  // what the target holds afterwards ("old": left as it was)
  } cases[] = {
      {"two files, typed name", {0, 1}, kOk, false, {}, {}, both},
      {"two files, name from the host", {0, 1}, kBrowseThenOk, false, {}, {}, both},
      {"one row, cancelled",
       {0},
       kNone,
       false,
       {IDCANCEL},
       {"You have only selected one quote file.\nDo you want to continue with the export?"},
       "old"},
      {"one row, go on",
       {1},
       kOk,
       false,
       {IDOK},
       {"You have only selected one quote file.\nDo you want to continue with the export?"},
       "four\r\nfive"},
      {"no name", {0, 1}, kOkEmptyThenCancel, false, {}, {"You must enter a export filename..."}, "old"},
      {"unopenable quote file",
       {0, 1},
       kOk,
       true,
       {},
       {"Windows returned error 65535 while trying to open a file..."},
       "old"},
  };
  for (const auto& c : cases) {
    WriteQuoteFile("a.lsq", "@@TITLE=A\r\none\r\ntwo   ## note\r\n\r\nthree\r\n");
    WriteQuoteFile("b.lsq", "@@TITLE=B\r\nfour\r\n@@HEADER=h\r\nfive\r\n");
    WriteFileBytes(target, "old");
    WriteSettings("");
    answers.scripted_selections = {target};
    ASSERT_EQ(OpenAndShow(), 1);
    SelectListRows(ListView(), c.selected, c.selected[0]);
    HANDLE held = c.hold_b
                      ? CreateFileA(quotes_->File("b.lsq").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE;
    modal.Clear();
    for (int answer : c.answers) modal.AnswerBoxesWith({answer});
    bool dialog_seen = false;
    if (c.press != kNone) {
      modal.ExpectDialog([&, press = c.press](HWND dialog) {
        dialog_seen = WindowText(dialog) == "Export into Text file";
        if (press == kOk) SetField(dialog, IDC_EXPORT_FILE, target);
        if (press == kBrowseThenOk) PressDialogButton(dialog, IDC_EXPORT_BROWSE);
        PressDialogButton(dialog, IDC_EXPORT_OK);
        if (press == kOkEmptyThenCancel) PressDialogButton(dialog, IDC_EXPORT_CANCEL);
      });
    }
    Press(IDC_EXPORT);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(dialog_seen, c.press != kNone) << c.what;
    EXPECT_TRUE(modal.unscripted_dialogs().empty()) << c.what;
    EXPECT_EQ(modal.box_texts(), c.boxes) << c.what;
    EXPECT_EQ(ReadFileBytes(target), c.exported) << c.what;
    EXPECT_EQ(FilesIn(out), std::set<std::string>{"export.txt"}) << c.what;  // no temporary file left
    EXPECT_EQ(StatusText(StatusBar(), 0), "Kelvaro") << c.what;
    EXPECT_EQ(FindWindowExA(main_window(), nullptr, PROGRESS_CLASSA, nullptr), nullptr) << c.what;
    Close();
  }
}

}  // namespace
}  // namespace vtest
