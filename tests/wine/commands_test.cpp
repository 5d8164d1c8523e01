// The main window's commands pressed as the user does, one row each: the scene, the press,
// the answers to its boxes, and the boxes, files and list that must follow. A command's
// normal run and its file failures are in the fault sweep.
#include "harness.h"
#include "import_patch.h"

#include "contract/resource_ids.h"
#include "engine/message_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <list>
#include <map>

namespace vtest {
namespace {

bool IsTickName(const std::string& name) {
  return name.size() == 12 && name.ends_with(".lsq") &&
         std::all_of(name.begin(), name.begin() + 8, [](char c) { return std::isxdigit(c) && !std::isupper(c); });
}

std::string Filled(unsigned id, const std::string& text) {
  std::string format = Text(id);
  return format.replace(format.find("%s"), 2, text);
}

// Stands in for the shell's ShellExecuteA: writes the call to the file that
// VOSKO_TEST_SHELL_LOG names; "missing.exe", and a file to open that is gone, are not found.
HINSTANCE WINAPI RecordShell(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT show) {
  char settings[MAX_PATH] = {};
  GetEnvironmentVariableA("VOSKO_TEST_SHELL_LOG", settings, sizeof settings);
  WriteFileBytes(settings, (verb ? std::string(verb) + " " : "") + file + " " + (parameters ? parameters : "-") +
                               " show=" + std::to_string(show));
  const bool found = verb ? GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES : std::string(file) != "missing.exe";
  return reinterpret_cast<HINSTANCE>(found ? 42 : 2);
}

// Stands in for the library's MessageBoxA: a box shown while the clipboard is held says so.
int WINAPI BoxOnFreeClipboard(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  const bool free = OpenClipboard(nullptr) != FALSE;
  if (free) CloseClipboard();
  return MessageBoxA(owner, free ? text : "the clipboard is held", caption, style);
}

class CommandTest : public ExtensionTest {
 protected:
  HANDLE Hold(const std::string& path) {
    held_ = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return held_;
  }
  HANDLE held_ = INVALID_HANDLE_VALUE;
};

// One command as the user meets it: the scene, the press, and what must follow.
struct Row {
  const char* what;
  std::map<std::string, std::string> files;  // quote files beside a.lsq and b.lsq
  std::string settings;
  std::vector<int> selected;
  int focused;
  std::function<void()> press;  // the press, and what comes just before it
  std::vector<int> answers;
  std::vector<std::string> boxes;
  std::map<std::string, std::string> after;  // files and their bytes (or kAbsent) afterwards
  std::size_t rows;
  std::string made = "";   // the file the command adds to the quote folder ("*": a generated name)
  int focused_after = -2;  // the row focused and selected afterwards (-2: not looked at)
  int buttons = -1;        // the row buttons afterwards: 1 enabled, 0 greyed (-1: not looked at)
};

TEST_F(CommandTest, EachCommandAsTheUserMeetsIt) {
  const std::string hide_file_names = "ViewOption=3\r\nVisibleColumns=0001,0001,0001,0001,0001,0001,0001,0000\r\n";
  const std::string stay = "Close Vosko after Paste=0\r\n";
  const std::string c = Quotes("c.lsq"), p = Quotes("p.lsq"), target = Home("export.txt");
  const std::string one_export = Text(IDS_ONE_FILE_EXPORT), refused = Text(IDS_LINE_LENGTH_INVALID);
  const std::string asked = Filled(IDS_DELETE_QUESTION, "C"), long_title(186, 'Z');
  const auto added = [](int lines) { return Filled(IDS_PASTE_ADDED, "P").replace(6, 2, std::to_string(lines)); };
  const auto press = [this](int button, std::function<void()> before = {}) {
    return [=, this] {
      if (before) before();
      Press(button);
    };
  };
  const auto paste = [&](std::string text) { return press(IDC_PASTE, [=] { PutClipboardText(text); }); };
  const auto paste_unicode = [&](std::string utf8) { return press(IDC_PASTE, [=] { PutClipboardUnicode(utf8); }); };
  const auto paste_free = [&](std::string text) {
    return [=, this] {
      PutClipboardText(text);
      ImportPatch box(preloaded_, "user32.dll", "MessageBoxA", StandIn(&BoxOnFreeClipboard));
      Press(IDC_PASTE);
    };
  };
  const auto gone = [](std::string path, std::function<void()> then) {
    return [=] {
      DeleteFileA(path.c_str());
      then();
    };
  };
  const auto export_to = [&](std::string name, bool browse = false) {
    return press(IDC_EXPORT, [=, this] {
      modal.ExpectDialog([=](HWND dialog) {
        SetField(dialog, IDC_EXPORT_FILE, name);
        if (browse) PressDialogButton(dialog, IDC_EXPORT_BROWSE);
        PressDialogButton(dialog, IDC_EXPORT_OK);
        PressDialogButton(dialog, IDC_EXPORT_CANCEL);  // only acts when OK left the dialog open
      });
    });
  };
  const auto make = [this](int button, std::string name, std::string more = "", std::string line_length = "46") {
    return [=, this] {
      std::vector<std::pair<int, std::string>> fields = {
          {IDC_NEW_TITLE, "T"}, {IDC_NEW_FILE_NAME, name}, {IDC_NEW_AUTHOR, "Au"}};
      if (button == IDC_IMPORT)
        fields.insert(fields.end(), {{IDC_NEW_IMPORT_FILE, more}, {IDC_NEW_LINE_LENGTH, line_length}});
      CreateThrough(button, fields);
    };
  };
  const std::map<std::string, std::string> only_b = {{"a.lsq", kAbsent}},
                                           none = {{"a.lsq", kAbsent}, {"b.lsq", kAbsent}};
  const auto options_folder = [this](std::string folder) {
    return [=, this] {
      modal.ExpectDialog([=](HWND dialog) {
        SetField(dialog, IDC_OPT_FOLDER, folder);
        PressDialogButton(dialog, IDC_OPT_OK);
      });
      Press(IDC_OPTIONS);
    };
  };
  const std::map<std::string, std::string> file_c = {{"c.lsq", "@@TITLE=C\r\n"}}, file_p = {{"p.lsq", "@@TITLE=P\r\n"}};
  ImportPatch shell(PreloadLibrary(), "shell32.dll", "ShellExecuteA", StandIn(&RecordShell));
  ASSERT_TRUE(shell.ok());
  const std::string shell_log = Home("shell.log"), b = "\"" + Quotes("b.lsq") + "\"";
  SetEnvironmentVariableA("VOSKO_TEST_SHELL_LOG", shell_log.c_str());
  const auto editor = [](const char* name, int maximize) {
    return std::string("DefaultTextEditor=") + name + "\r\nMaximizeEditor=" + std::to_string(maximize) + "\r\n";
  };
  std::vector<Row> rows = {
      // Edit opens the focused row's file, its path quoted, in the editor the settings name.
      Row("edit, maximised", {}, editor("ed.exe", 1), {0, 1}, 1, press(IDC_EDIT), {}, {},
          {{shell_log, "ed.exe " + b + " show=3"}}, 2),
      Row("edit", {}, editor("ed.exe", 0), {0, 1}, 1, press(IDC_EDIT), {}, {}, {{shell_log, "ed.exe " + b + " show=5"}},
          2),
      Row("edit, no such editor", {}, editor("missing.exe", 0), {1}, 1, press(IDC_EDIT), {},
          {WithNumber(IDS_EDITOR_FAILED, 2)}, {}, 2),
      // With no editor set the shell opens the file itself.
      Row("edit, no editor", {}, editor(" ", 0), {1}, 1, press(IDC_EDIT), {}, {},
          {{shell_log, "open " + Quotes("b.lsq") + " - show=5"}}, 2),
      // A row whose file has gone is reported once, then the list is built again without it.
      Row("edit, no editor, file gone", file_c, editor("", 0), {2}, 2, gone(c, press(IDC_EDIT)), {},
          {WithNumber(IDS_EDITOR_FAILED, 2)}, {{c, kAbsent}}, 2),
      Row("rescan twice, file gone", file_c, "", {0}, 0, gone(c, press(IDC_RESCAN, [this] { Press(IDC_RESCAN); })), {},
          {WithNumber(IDS_OPEN_FAILED, 65535)}, {{c, kAbsent}}, 2),
      Row("paste, file gone", file_p, stay, {2}, 2, gone(p, paste("x")), {}, {}, {{p, kAbsent}}, 2),
      // Delete works on the row's own entry, not its cells: the file name column is hidden.
      Row("delete", file_c, hide_file_names, {2}, 2, press(IDC_DELETE), {IDYES}, {asked},
          {{c, kAbsent}, {Quotes("a.lsq"), kFileA}}, 2, "", 1),
      Row("delete, already gone", file_c, hide_file_names, {2}, 2, press(IDC_DELETE, [&] { DeleteFileA(c.c_str()); }),
          {IDYES}, {asked}, {{c, kAbsent}}, 2, "", 1),
      // A title too long for the question leaves it without one.
      Row("delete, 186-character title, no", {{"c.lsq", "@@TITLE=" + long_title + "\r\n"}}, hide_file_names, {2}, 2,
          press(IDC_DELETE), {IDNO}, {Text(IDS_DELETE_QUESTION)}, {{c, "@@TITLE=" + long_title + "\r\n"}}, 3, "", 2),
      Row("delete, held open", file_c, hide_file_names, {2}, 2, press(IDC_DELETE, [&] { Hold(c); }), {IDYES},
          {asked,
           "Windows returned error 32 while trying to delete the quote file. It may be open in another program "
           "or read-only..."},
          {{c, "@@TITLE=C\r\n"}}, 3, "", 2),
      Row("paste, no line end at the file's end", {{"p.lsq", "@@TITLE=P\r\nq"}}, hide_file_names + stay, {2}, 2,
          paste("x"), {}, {added(1)}, {{p, "@@TITLE=P\r\nq\r\nx\r\n"}}, 3),
      Row("paste, an empty line holds a CR", file_p, stay, {2}, 2, paste_free("one\r\n\r\ntwo"), {}, {added(3)},
          {{p, "@@TITLE=P\r\n\r\none\r\n\r\ntwo\r\n"}}, 3),
      Row("paste, line feeds only", file_p, stay, {2}, 2, paste("one\n\ntwo"), {}, {added(2)},
          {{p, "@@TITLE=P\r\n\r\none\n\ntwo\r\n"}}, 3),
      Row("paste, selected, not focused", file_p, "", {2}, -1, paste("one"), {}, {}, {{p, "@@TITLE=P\r\n"}}, 3),
      Row("export, name from the host", {}, "", {0, 1}, 0, export_to("", true), {}, {},
          {{target, "one\r\ntwo\r\nthree"}}, 2),
      Row("export, one row, cancelled", {}, "", {0}, 0, press(IDC_EXPORT), {IDCANCEL}, {one_export},
          {{target, kAbsent}}, 2),
      Row("export, one row, go on", {}, "", {1}, 1, export_to(target), {IDOK}, {one_export}, {{target, "three"}}, 2),
      Row("export, no name", {}, "", {0, 1}, 0, export_to(""), {}, {Text(IDS_EXPORT_NAME_MISSING)}, {{target, kAbsent}},
          2),
      Row("compile, one row, cancelled", {}, "", {1}, 1, press(IDC_COMPILE), {IDCANCEL}, {Text(IDS_ONE_FILE_COMPILE)},
          {{Pms(), kOldPms}}, 2),
      Row("compile, nothing selected", {}, "", {}, -1, press(IDC_COMPILE), {}, {}, {{Pms(), kOldPms}}, 2),
      Row("new, no name", {}, "", {0}, 0, make(IDC_NEW, ""), {}, {}, {}, 3, "*"),
      Row("new, typed", {}, "", {0}, 0, make(IDC_NEW, "quotes"), {}, {}, {}, 3, "quotes.lsq"),
      Row("new, typed with the extension", {}, "", {0}, 0, make(IDC_NEW, "q.lsq"), {}, {}, {}, 3, "q.lsq.lsq"),
      Row("new, existing name", {}, "", {0}, 0, make(IDC_NEW, "a"), {}, {}, {{Quotes("a.lsq"), kFileA}}, 3, "*"),
      Row("new, parent folder", {}, "", {0}, 0, make(IDC_NEW, "..\\x"), {}, {Text(IDS_NAME_REFUSED)}, {}, 2),
      Row("new, name too long", {}, "", {0}, 0, make(IDC_NEW, std::string(256, 'n')), {},
          {WithNumber(IDS_PATH_TOO_LONG, 255)}, {}, 2),
      Row("new, path over 259 characters", {}, "", {0}, 0, make(IDC_NEW, std::string(250, 'n')), {},
          {WithNumber(IDS_OPEN_FAILED, 65535)}, {}, 2),
      Row("import, line length 45", {}, "", {0}, 0, make(IDC_IMPORT, "n", Pms(), "45"), {}, {refused}, {}, 2),
      Row("import, no line length", {}, "", {0}, 0, make(IDC_IMPORT, "n", Pms(), ""), {}, {refused}, {}, 2),
      Row("import, beyond 32 bits", {}, "", {0}, 0, make(IDC_IMPORT, "n", Pms(), "2147483648"), {}, {refused}, {}, 2),
      Row("import, no file name", {}, "", {0}, 0, make(IDC_IMPORT, "n", ""), {}, {Text(IDS_IMPORT_NAME_MISSING)}, {},
          2),
      Row("import, path too long", {}, "", {0}, 0, make(IDC_IMPORT, "n", std::string(300, 'p')), {},
          {WithNumber(IDS_PATH_TOO_LONG, 255)}, {}, 2),
      // A source that cannot be read makes no file; the dialog stays open until cancelled.
      Row("import of a missing file", {}, "", {0}, 0, make(IDC_IMPORT, "n", Home("missing.txt")), {},
          {Text(IDS_IMPORT_OPEN_FAILED)}, {}, 2),
      Row("recompile without rquotes.pms", {}, "", {0}, 0, [&, this] {
            DeleteFileA(Pms().c_str());
            make(IDC_RECOMPILE, "n")();
          }, {}, {WithNumber(IDS_OPEN_FAILED, 65535)}, {}, 2),
      // Its compile record would be read back under the key "a".
      Row("new, a=b", {}, "", {0}, 0, make(IDC_NEW, "a=b"), {}, {Text(IDS_NAME_REFUSED)}, {}, 2),
      Row("new in an empty folder", none, "", {}, -1, make(IDC_NEW, "q"), {}, {}, {}, 1, "q.lsq", 0, 1),
      Row("delete of the last row", only_b, "", {0}, 0, press(IDC_DELETE), {IDYES}, {Filled(IDS_DELETE_QUESTION, "B")},
          {{Quotes("b.lsq"), kAbsent}}, 0, "", -1, 0),
      // A view no combo entry names is Large Icons, so the folder change rebuilds the list.
      Row("view -1, folder changed", {}, "ViewOption=-1\r\n", {0}, 0, options_folder(home_), {}, {}, {}, 0, "", -2, 0),
      // Files another program holds open: the first is reported, the others in one count.
      Row("list again, three files held", {{"c.lsq", ""}, {"d.lsq", ""}, {"e.lsq", ""}}, "", {0}, 0, [&, this] {
            std::vector<HANDLE> held;
            for (const char* name : {"c.lsq", "d.lsq", "e.lsq"})
              held.push_back(CreateFileA(Quotes(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            options_folder(quotes_ + "\\")();
            for (HANDLE file : held) CloseHandle(file);
          }, {}, {WithNumber(IDS_OPEN_FAILED, 65535), WithNumber(IDS_SCAN_REPEATS, 2)}, {}, 2),
      // A character the ANSI quote file cannot hold is written as "?" only when the user agrees.
      Row("paste beyond the code page", file_p, stay, {2}, 2, paste_unicode("\xE4\xB8\xAD"), {IDYES},
          {vosko::FillMessageTexts(Text(IDS_PASTE_REPLACED), {"1", "P"}), added(1)},
          {{p, "@@TITLE=P\r\n\r\n?\r\n"}}, 3),
      Row("paste beyond the code page, no", file_p, stay, {2}, 2, paste_unicode("\xE4\xB8\xAD"), {IDNO},
          {vosko::FillMessageTexts(Text(IDS_PASTE_REPLACED), {"1", "P"})}, {{p, "@@TITLE=P\r\n"}}, 3),
  };
  // One quote file in each encoding: compiled and exported as the ANSI text the host reads
  // ("o" for o double acute, "?" for a CJK character), and pasted into in its own encoding.
  const std::string title = "@@TITLE=Zo\xC3\xAB\r\n\r\n", quote = "Tr\xC3\xA4ume \xE2\x82\xAC \xC5\x91\xE4\xB8\xAD";
  const std::string ansi = "Tr\xE4ume \x80 o?", clip = "\xC3\xA9\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D";
  const auto hex8 = [](std::size_t n) {
    std::string digits(8, '0');
    for (int i = 7; i >= 0; --i, n >>= 4) digits[i] = "0123456789ABCDEF"[n & 15];
    return digits;
  };
  const std::string pms = "VOSKOQTS0001" + hex8(1) + hex8(ansi.size() + 1) + hex8(ansi.size() + 1) + hex8(0) + "\xFF" +
                          ansi + std::string(1, '\0');
  const std::string utf8 = title + quote + "\r\n", pasted = "\r\n" + clip + "\r\n";
  const std::string done = vosko::FillMessageTexts(Text(IDS_COMPILE_DONE), {"1", std::to_string(ansi.size() + 1)});
  const struct {
    const char* what;
    std::string bytes, pasted;
  } encodings[] = {
      {"ANSI", "@@TITLE=Zo\xEB\r\n\r\n" + ansi + "\r\n", "\r\n\xE9\x80\x93\x94\r\n"},
      {"UTF-8", utf8, pasted},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + utf8, pasted},
      {"UTF-16 LE", Utf16Bytes(utf8, false, true), Utf16Bytes(pasted, false, false)},
      {"UTF-16 BE", Utf16Bytes(utf8, true, true), Utf16Bytes(pasted, true, false)},
  };
  std::list<std::string> names;  // the rows' names, kept where they are
  const auto named = [&](const char* command, const char* what) {
    return names.emplace_back(command).append(what).c_str();
  };
  for (const auto& e : encodings) {
    const bool unicode = e.what != std::string("ANSI");
    const std::map<std::string, std::string> file = {{"c.lsq", e.bytes}};
    const std::string replaced = unicode ? vosko::FillMessageTexts(Text(IDS_COMPILE_REPLACED), {"2"}) : "";
    // The script stays in the quote folder: one there already, so that the compile makes none.
    rows.push_back(Row(named("compile, ", e.what), {{"c.lsq", e.bytes}, {"rquotes.r", ""}}, "", {2}, 2,
                       press(IDC_COMPILE), {IDOK}, {Text(IDS_ONE_FILE_COMPILE), done + replaced}, {{Pms(), pms}}, 3));
    rows.push_back(Row(named("export, ", e.what), file, "", {2}, 2, export_to(target), {IDOK}, {one_export},
                       {{target, unicode ? "\xEF\xBB\xBF" + quote : ansi}}, 3));
    rows.push_back(Row(named("paste, ", e.what), file, stay, {2}, 2, paste_unicode(clip), {},
                       {vosko::FillMessageTexts(Text(IDS_PASTE_ADDED), {"1", "Zo\xEB"})}, {{c, e.bytes + e.pasted}},
                       3));
  }
  for (const Row& row : rows) {
    StandardFiles(row.settings);
    for (const auto& [name, bytes] : row.files) {
      if (bytes == kAbsent)
        DeleteFileA(Quotes(name).c_str());
      else
        WriteQuoteFile(name, bytes);
    }
    answers.scripted_selections = {target};
    ASSERT_EQ(OpenAndShow(), 1) << row.what;
    const std::set<std::string> before = FilesIn(quotes_);
    SelectListRows(ListView(), row.selected, row.focused);
    modal.Clear();
    modal.AnswerBoxesWith(row.answers);
    row.press();
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
    EXPECT_EQ(modal.box_texts(), row.boxes) << row.what;
    EXPECT_TRUE(modal.unscripted_dialogs().empty()) << row.what;
    for (const auto& [path, bytes] : row.after) EXPECT_EQ(ReadFileBytes(path), bytes) << row.what << ": " << path;
    const auto list = ListRows(ListView());
    EXPECT_EQ(list.size(), row.rows) << row.what;
    const int focused = static_cast<int>(
        SendMessageA(ListView(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
    if (row.focused_after != -2) {
      EXPECT_EQ(focused, row.focused_after) << row.what;
    }
    for (int id : {IDC_EDIT, IDC_PASTE, IDC_COMPILE, IDC_DELETE, IDC_RESCAN, IDC_EXPORT}) {
      if (row.buttons < 0) break;
      EXPECT_EQ(IsWindowEnabled(Button(id)) != FALSE, row.buttons == 1) << row.what << ": " << id;
    }
    std::set<std::string> made;
    for (const std::string& name : FilesIn(quotes_)) {
      if (!before.contains(name)) made.insert(name);
    }
    ASSERT_EQ(made.size(), row.made.empty() ? 0u : 1u) << row.what;
    if (!made.empty()) {
      EXPECT_TRUE(row.made == "*" ? IsTickName(*made.begin()) : *made.begin() == row.made) << *made.begin();
      // The new file's row is the only one selected, and focused.
      EXPECT_EQ(SelectedRows(ListView()), std::vector<int>{focused}) << row.what;
      ASSERT_GE(focused, 0) << row.what;
      EXPECT_EQ(list[focused][0], "T") << row.what;
    }
    Close();
    EmptyFolders();
  }
}

}  // namespace
}  // namespace vtest
