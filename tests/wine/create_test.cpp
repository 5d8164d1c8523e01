// New quote files (New, Import, Recompile) and the Options dialog, pressed as the user does
// in the test host.
#include "harness.h"

#include "dialog_driver.h"
#include "contract/host_contract.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace vtest {
namespace {

std::string WithNumber(unsigned id, int number) {
  std::string text = Text(id);
  return text.replace(text.find("%d"), 2, std::to_string(number));
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int row = -1; (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
    rows.push_back(row);
  }
  return rows;
}

bool IsTickName(const std::string& name) {
  return name.size() == 12 && name.ends_with(".lsq") &&
         std::all_of(name.begin(), name.begin() + 8, [](char c) { return std::isxdigit(c) && !std::isupper(c); });
}

// What a new file holds after its template (the template ends with string 458).
std::string AfterTemplate(const std::string& bytes) {
  const std::string last = Text(458) + "\r\n";
  const std::size_t at = bytes.find(last);
  return at == std::string::npos ? "<no template>" : bytes.substr(at + last.size());
}

class CreateTest : public ExtensionTest {
 protected:
  // Presses New (or Recompile/Import from the Options dialog) and fills the dialog; presses
  // OK, then Cancel, which only acts when OK left the dialog open.
  void CreateThrough(int button, const std::vector<std::pair<int, std::string>>& fields) {
    const auto fill = [fields](HWND dialog) {
      for (const auto& [id, text] : fields) SetField(dialog, id, text);
      PressDialogButton(dialog, IDC_NEW_OK);
      PressDialogButton(dialog, IDC_NEW_CANCEL);
    };
    if (button == IDC_NEW) {
      modal.ExpectDialog(fill);
      Press(IDC_NEW);
      return;
    }
    modal.ExpectDialog([button](HWND options) {
      PressDialogButton(options, button);
      PressDialogButton(options, IDC_OPT_CANCEL);
    });
    modal.ExpectDialog(fill);
    Press(IDC_OPTIONS);
  }
};

TEST_F(CreateTest, NewNamesTheFileAndListsItAsTheOnlySelectedRow) {
  const std::string long_folder = home_->path() + "\\" + std::string(247 - home_->path().size(), 'f');
  const std::string missing = home_->File("missing");
  enum Folder { kQuotes, kMissing, kLong };
  const struct {
    const char* what;
    Folder folder;
    std::string name;
    std::vector<std::string> boxes;
    std::string created;  // "tick": a generated name; "": none
  } cases[] = {
      {"no name", kQuotes, "", {}, "tick"},
      {"typed", kQuotes, "quotes", {}, "quotes.lsq"},
      {"typed with the extension", kQuotes, "quotes.lsq", {}, "quotes.lsq.lsq"},
      {"existing name", kQuotes, "a", {}, "tick"},
      {"missing folder", kMissing, "", {WithNumber(IDS_OPEN_FAILED, 65535)}, ""},
      {"path over 259 characters", kLong, "abcdefghij", {WithNumber(IDS_OPEN_FAILED, 65535)}, ""},
      // Which names are refused is an engine test; one shows the message here.
      {"parent folder", kQuotes, "..\\x", {Text(IDS_NAME_REFUSED)}, ""},
      {"name too long", kQuotes, std::string(256, 'n'), {WithNumber(IDS_PATH_TOO_LONG, 255)}, ""},
  };
  CreateDirectoryA(long_folder.c_str(), nullptr);
  ASSERT_EQ(GetFileAttributesA(long_folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  for (const auto& c : cases) {
    const std::string folder = c.folder == kQuotes ? quotes_->path() : c.folder == kMissing ? missing : long_folder;
    WriteQuoteFile("a.lsq", "@@TITLE=A\r\none\r\n");
    WriteQuoteFile("b.lsq", "@@TITLE=B\r\ntwo\r\n");
    WriteFileBytes(settings_file(), "[Vosko]\r\nQuoteFolder=" + folder + "\r\n");
    ASSERT_EQ(OpenAndShow(), 1) << c.what;
    const std::set<std::string> before = FilesIn(folder);
    const std::size_t rows = ListRows(ListView()).size();
    SelectListRows(ListView(), {0}, 0);
    modal.Clear();
    CreateThrough(IDC_NEW, {{IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, c.name}, {IDC_NEW_AUTHOR, "Au"}});
    EXPECT_EQ(modal.box_texts(), c.boxes) << c.what;
    EXPECT_TRUE(modal.unscripted_dialogs().empty()) << c.what;
    std::set<std::string> added;
    for (const std::string& name : FilesIn(folder)) {
      if (!before.contains(name)) added.insert(name);
    }
    EXPECT_EQ(ReadFileBytes(quotes_->File("a.lsq")), "@@TITLE=A\r\none\r\n") << c.what;
    if (c.created.empty()) {
      EXPECT_TRUE(added.empty()) << c.what;
      EXPECT_EQ(ListRows(ListView()).size(), rows) << c.what;
    } else {
      ASSERT_EQ(added.size(), 1u) << c.what;
      const std::string name = *added.begin();
      if (c.created == "tick") {
        EXPECT_TRUE(IsTickName(name)) << c.what << ": " << name;
      } else {
        EXPECT_EQ(name, c.created) << c.what;
      }
      const auto list = ListRows(ListView());
      ASSERT_EQ(list.size(), rows + 1) << c.what;
      const std::vector<int> selected = SelectedRows(ListView());
      ASSERT_EQ(selected.size(), 1u) << c.what;
      EXPECT_EQ(list[selected[0]][0], "T") << c.what;
      EXPECT_EQ(SendMessageA(ListView(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), selected[0])
          << c.what;
    }
    Close();
    for (const std::string& name : FilesIn(folder)) DeleteFileA((folder + "\\" + name).c_str());
  }
  RemoveDirectoryA(long_folder.c_str());
}

// The dialog's fields and the clock's date reach the template; each placeholder is filled
// once, so a title may hold one (the template's bytes are an engine test).
TEST_F(CreateTest, TemplateFillsTitleAuthorAndDate) {
  WriteSettings("");
  ASSERT_EQ(OpenAndShow(), 1);
  CreateThrough(IDC_NEW,
                {{IDC_NEW_TITLE, "On @@DATE@@ @@DESCRIPTION@@"}, {IDC_NEW_FILE_NAME, "new"}, {IDC_NEW_AUTHOR, "Au"}});
  const std::string bytes = ReadFileBytes(quotes_->File("new.lsq"));
  // Line 2 holds the date and the time: "... on <date> <time>".
  const std::size_t on = bytes.find(" on ");
  ASSERT_NE(on, std::string::npos);
  const std::string date = bytes.substr(on + 4, bytes.find(' ', bytes.find(' ', on + 4) + 1) - on - 4);
  EXPECT_NE(bytes.find("\r\n@@TITLE=On " + date + " @@DESCRIPTION@@\r\n\r\n##"), std::string::npos) << date;
  EXPECT_NE(bytes.find("\r\n@@AUTHOR=Au\r\n\r\n##"), std::string::npos);
  EXPECT_EQ(AfterTemplate(bytes), "");
}

TEST_F(CreateTest, ImportAndRecompileAppendToTheNewFile) {
  const std::string text_file = home_->File("in.txt");
  WriteFileBytes(
      text_file,
      "The quick brown fox jumps over the lazy dog and then runs far away into the woods.\r\nSecond line.\r\n");
  const std::string pms = home_->File("rquotes.pms");
  const std::string worked =
      "\r\nThe quick brown fox jumps over the lazy dog \r\nand then runs far away into the woods.\r\n \r\n"
      "\r\nSecond line.\r\n \r\n";
  const std::string missing = home_->File("none.txt");
  const struct {
    const char* what;
    int button;
    std::string import_file, line_length;
    bool pms_present;
    std::vector<std::string> boxes;
    std::string appended;  // "": the template only; "<none>": no file made
  } cases[] = {
      {"import 46", IDC_IMPORT, text_file, "46", false, {}, worked},
      {"import 45", IDC_IMPORT, text_file, "45", false, {Text(IDS_LINE_LENGTH_INVALID)}, "<none>"},
      {"import no length", IDC_IMPORT, text_file, "", false, {Text(IDS_LINE_LENGTH_INVALID)}, "<none>"},
      {"import beyond 32 bits", IDC_IMPORT, text_file, "2147483648", false, {Text(IDS_LINE_LENGTH_INVALID)}, "<none>"},
      {"import no file name", IDC_IMPORT, "", "46", false, {Text(IDS_IMPORT_NAME_MISSING)}, "<none>"},
      {"import missing file", IDC_IMPORT, missing, "46", false, {Text(IDS_IMPORT_OPEN_FAILED)}, ""},
      {"import path too long",
       IDC_IMPORT,
       std::string(300, 'p'),
       "46",
       false,
       {WithNumber(IDS_PATH_TOO_LONG, 255)},
       "<none>"},
      {"recompile", IDC_RECOMPILE, "", "", true, {}, "A\r\n\r\nB1\r\nB2\r\n\r\n"},
      {"recompile without rquotes.pms", IDC_RECOMPILE, "", "", false, {WithNumber(IDS_OPEN_FAILED, 65535)}, ""},
  };
  for (const auto& c : cases) {
    WriteSettings("");
    if (c.pms_present) {
      WriteFileBytes(pms, std::string("head\xFF", 5) + std::string("A\0B1\nB2\0", 8));
    } else {
      DeleteFileA(pms.c_str());
    }
    ASSERT_EQ(OpenAndShow(), 1) << c.what;
    modal.Clear();
    std::vector<std::pair<int, std::string>> fields = {{IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, "new"}};
    if (c.button == IDC_IMPORT) {
      fields.push_back({IDC_NEW_IMPORT_FILE, c.import_file});
      fields.push_back({IDC_NEW_LINE_LENGTH, c.line_length});
    }
    CreateThrough(c.button, fields);
    EXPECT_EQ(modal.box_texts(), c.boxes) << c.what;
    EXPECT_TRUE(modal.unscripted_dialogs().empty()) << c.what;
    const std::string made = quotes_->File("new.lsq");
    if (c.appended == "<none>") {
      EXPECT_EQ(GetFileAttributesA(made.c_str()), INVALID_FILE_ATTRIBUTES) << c.what;
    } else {
      EXPECT_EQ(AfterTemplate(ReadFileBytes(made)), c.appended) << c.what;
      // Listed and selected, also though the Options dialog was cancelled afterwards.
      EXPECT_EQ(ListRows(ListView()).size(), 1u) << c.what;
      EXPECT_EQ(SelectedRows(ListView()), std::vector<int>{0}) << c.what;
    }
    Close();
    DeleteFileA(made.c_str());
  }
}

TEST_F(CreateTest, ImportBrowsesThroughTheHost) {
  WriteSettings("");
  const std::string text_file = home_->File("in.txt");
  WriteFileBytes(text_file, "one\r\n");
  answers.scripted_selections = {text_file};
  ASSERT_EQ(OpenAndShow(), 1);
  std::string browsed;
  modal.ExpectDialog([](HWND options) { PressDialogButton(options, IDC_IMPORT); });
  modal.ExpectDialog([&](HWND dialog) {
    SendMessageA(dialog, WM_COMMAND, IDC_NEW_BROWSE, 0);
    browsed = GetField(dialog, IDC_NEW_IMPORT_FILE);
    PressDialogButton(dialog, IDC_NEW_CANCEL);
    PressDialogButton(GetWindow(dialog, GW_OWNER), IDC_OPT_CANCEL);
  });
  Press(IDC_OPTIONS);
  EXPECT_EQ(browsed, text_file);
  EXPECT_EQ(session_->log().file_selections, 1);
}

// The buttons follow the list only when it is rebuilt, not when a row is added to it.
TEST_F(CreateTest, FirstFileOfAnEmptyFolderLeavesTheButtonsAsTheyWere) {
  WriteSettings("");
  ASSERT_EQ(OpenAndShow(), 1);
  ASSERT_FALSE(IsWindowEnabled(Button(IDC_EDIT)));
  CreateThrough(IDC_NEW, {{IDC_NEW_TITLE, "T"}});
  EXPECT_EQ(ListRows(ListView()).size(), 1u);
  EXPECT_FALSE(IsWindowEnabled(Button(IDC_EDIT)));
}

TEST_F(CreateTest, OptionsStoreEverySettingAndRebuildOnlyOnChange) {
  TempFolder other("other");
  WriteFileBytes(other.File("o.lsq"), "@@TITLE=O\r\n");
  std::string upper = quotes_->path();
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  const struct {
    const char* what;
    std::string folder;  // "": as it was
    int view;            // -1: as it was (Details)
    bool clear_columns;
    std::vector<std::string> rows;  // titles after OK; "Late" only when the list was rebuilt
    std::string columns;
  } cases[] = {
      {"nothing changed", "", -1, false, {"A"}, "0001,0001,0001,0001,0001,0001,0001,0001"},
      {"other folder", other.path(), -1, false, {"O"}, "0001,0001,0001,0001,0001,0001,0001,0001"},
      {"folder in other case", upper, -1, false, {"A", "Late"}, "0001,0001,0001,0001,0001,0001,0001,0001"},
      {"view only", "", 2, false, {"A", "Late"}, "0001,0001,0001,0001,0001,0001,0001,0001"},
      {"columns cleared", "", -1, true, {"A", "Late"}, "0001,0000,0000,0000,0000,0000,0000,0000"},
  };
  for (const auto& c : cases) {
    WriteQuoteFile("a.lsq", "@@TITLE=A\r\n");
    WriteSettings("ViewOption=3\r\nVisibleColumns=0001,0001,0001,0001,0001,0001,0001,0001\r\n");
    answers.scripted_selections = {"C:\\tools\\editor.exe"};
    ASSERT_EQ(OpenAndShow(), 1) << c.what;
    WriteQuoteFile("late.lsq", "@@TITLE=Late\r\n");
    modal.Clear();
    modal.ExpectDialog([&c](HWND dialog) {
      if (!c.folder.empty()) SetField(dialog, IDC_OPT_FOLDER, c.folder);
      if (c.view >= 0) SelectCombo(dialog, IDC_OPT_VIEW, c.view);
      if (c.clear_columns) {
        for (int id = 1005; id <= 1012; ++id) SetCheck(dialog, id, false);
        SetCheck(dialog, IDC_OPT_COLUMN_AUTHOR, false);
      }
      SendMessageA(dialog, WM_COMMAND, IDC_OPT_EDITOR_BROWSE, 0);
      SetCheck(dialog, IDC_OPT_CLOSE_AFTER_PASTE, true);
      SetCheck(dialog, IDC_OPT_MAXIMIZE_EDITOR, false);
      PressDialogButton(dialog, IDC_OPT_OK);
    });
    Press(IDC_OPTIONS);
    EXPECT_TRUE(modal.boxes().empty()) << c.what;
    std::vector<std::string> titles;
    for (const auto& row : ListRows(ListView())) titles.push_back(row[0]);
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, c.rows) << c.what;
    EXPECT_EQ(ReadSetting("Vosko", "QuoteFolder"), c.folder.empty() ? quotes_->path() : c.folder) << c.what;
    EXPECT_EQ(ReadSetting("Vosko", "DefaultTextEditor"), "C:\\tools\\editor.exe") << c.what;
    EXPECT_EQ(ReadSetting("Vosko", "Close Vosko after Paste"), "1") << c.what;
    EXPECT_EQ(ReadSetting("Vosko", "MaximizeEditor"), "0") << c.what;
    EXPECT_EQ(ReadSetting("Vosko", "VisibleColumns"), c.columns) << c.what;
    const bool list_view = (GetWindowLongA(ListView(), GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST;
    EXPECT_EQ(list_view, c.view == 2) << c.what;
    Close();
    DeleteFileA(quotes_->File("late.lsq").c_str());
  }
}

TEST_F(CreateTest, ColumnChecksFollowTheViewAndTitleStaysOn) {
  WriteSettings("ViewOption=0\r\nVisibleColumns=0000,0001,0000,0000,0000,0000,0000,0001\r\n");
  ASSERT_EQ(OpenAndShow(), 1);
  std::vector<std::pair<bool, bool>> seen;  // (enabled, checked) of Title, Author, Size at each step
  const auto look = [&seen](HWND dialog) {
    for (int id : {IDC_OPT_COLUMN_TITLE, IDC_OPT_COLUMN_AUTHOR, IDC_OPT_COLUMN_SIZE}) {
      seen.push_back({IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE, IsDlgButtonChecked(dialog, id) == BST_CHECKED});
    }
  };
  modal.ExpectDialog([&](HWND dialog) {
    look(dialog);
    SelectCombo(dialog, IDC_OPT_VIEW, 3);
    look(dialog);
    SetCheck(dialog, IDC_OPT_COLUMN_SIZE, true);
    SelectCombo(dialog, IDC_OPT_VIEW, 1);
    look(dialog);
    PressDialogButton(dialog, IDC_OPT_OK);
  });
  Press(IDC_OPTIONS);
  const std::vector<std::pair<bool, bool>> expected = {
      {false, true}, {false, true}, {false, false},  // Large Icons
      {false, true}, {true, true},  {true, false},   // Details
      {false, true}, {false, true}, {false, true},   // Small Icons: the marks stay
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(ReadSetting("Vosko", "VisibleColumns"), "0001,0001,0001,0000,0000,0000,0000,0001");
}

}  // namespace
}  // namespace vtest
