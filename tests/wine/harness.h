// The Windows test harness: hosts vosko.dll in-process as the e-mail client does, records
// and answers every message box and modal dialog, and reads the extension's controls.
#pragma once

#include "host_frame.h"
#include "host_session.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vtest {

// One message box the extension showed.
struct MessageBoxRecord {
  std::string caption;
  std::string text;
  HWND owner = nullptr;
};

// A modal dialog the extension opened (not a message box), handed to a script.
using DialogScript = std::function<void(HWND dialog)>;

// Records message boxes and runs dialog scripts through a thread CBT hook. Boxes are
// answered from a queue of buttons (IDOK when the queue is empty); a dialog with no script
// waiting is cancelled and recorded, so a test never hangs in a modal loop.
class ModalInterceptor {
 public:
  ModalInterceptor();
  ~ModalInterceptor();

  void AnswerBoxesWith(const std::vector<int>& buttons);
  void ExpectDialog(DialogScript script) { dialog_scripts_.push_back(std::move(script)); }

  const std::vector<MessageBoxRecord>& boxes() const { return boxes_; }
  std::vector<std::string> box_texts() const;  // the boxes' texts, in order
  const std::vector<std::string>& unscripted_dialogs() const { return unscripted_dialogs_; }
  void Clear();

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam);
  void OnActivate(HWND window);

  HHOOK hook_ = nullptr;
  std::deque<int> box_answers_;
  std::deque<DialogScript> dialog_scripts_;
  std::vector<MessageBoxRecord> boxes_;
  std::vector<std::string> unscripted_dialogs_;
  static ModalInterceptor* current_;
};

// Driving a modal dialog from a script. Presses are posted, so the dialog's own modal loop
// handles them.
void SetField(HWND dialog, int id, const std::string& text);
void PressDialogButton(HWND dialog, int id);

// Processes every waiting message (with the host's own pre-translation) until none is left.
void PumpUntilIdle(const voskohost::HostFrame* frame = nullptr);

// Writes bytes to a file exactly as given (binary); reads them back ("<absent>": no file).
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
constexpr char kAbsent[] = "<absent>";

// The names of the files (not folders) in a folder.
std::set<std::string> FilesIn(const std::string& folder);

// The string table's text with this id; with its "%d" filled.
std::string Text(unsigned id);
std::string WithNumber(unsigned id, long long number);

// A stand-in for the library's MessageBoxA (import_patch.h) that records each box's owner.
extern std::vector<HWND> g_box_owners;
int WINAPI RecordBoxOwner(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

// Puts text on the clipboard; the second as Unicode text, given as UTF-8.
bool PutClipboardText(const std::string& text);
bool PutClipboardUnicode(const std::string& utf8);
// UTF-8 text as a file's bytes: UTF-16 LE or BE (big), with its mark when asked.
std::string Utf16Bytes(const std::string& utf8, bool big, bool mark);

// Reads the extension's controls.
std::string WindowText(HWND window);
std::string StatusText(HWND status_bar, int part);
std::vector<std::vector<std::string>> ListRows(HWND list_view);
void SelectListRows(HWND list_view, const std::vector<int>& rows, int focused);
std::vector<int> SelectedRows(HWND list_view);

// The base fixture of the end-to-end tests: a hidden MDI frame, a home directory and a
// quote folder of their own, and the extension opened in a host window on demand.
class ExtensionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads vosko.dll (from beside the test program) and calls FORMINIT. The answers are
  // the defaults with this test's home directory; change them before calling.
  int Open();
  // Open, then the host's position query, show, resize notice and late set-up notice.
  int OpenAndShow();
  // Destroys the host window (the closing routine runs) and frees the library.
  void Close();
  // Loads the library that Open will use and keeps it to the end of the test, so that the
  // test can patch its imports (import_patch.h) before FORMINIT runs.
  HMODULE PreloadLibrary();

  HWND main_window() const { return session_ ? session_->main_window() : nullptr; }
  HWND host_window() const { return session_ ? session_->host_window() : nullptr; }
  HWND Button(int id) const { return GetDlgItem(main_window(), id); }
  void Press(int id);
  void Pump() { PumpUntilIdle(&frame_); }
  // Presses New, or Import or Recompile in the Options dialog, and fills the dialog: OK,
  // then Cancel, which only acts when OK left it open.
  void CreateThrough(int button, const std::vector<std::pair<int, std::string>>& fields);

  std::string Home(const std::string& name) const { return home_ + "\\" + name; }
  std::string settings_file() const { return Home("Tarno.pm"); }
  std::string Pms() const { return Home("rquotes.pms"); }
  std::string Quotes(const std::string& name) const { return quotes_ + "\\" + name; }
  // Writes the settings file with this test's quote folder, the given lines of section
  // "Vosko" (each ending in CR LF) and of section "VoskoFiles".
  void WriteSettings(const std::string& vosko_lines, const std::string& record_lines = "");
  // The standard scene: quote files a.lsq (title A, two quotes, compiled once) and b.lsq
  // (title B, one quote), the settings lines given, and an old rquotes.pms.
  void StandardFiles(const std::string& vosko_lines = "");
  void WriteQuoteFile(const std::string& name, const std::string& bytes);
  void EmptyFolders();  // removes every file of the home and the quote folder
  HWND ListView() const { return GetDlgItem(main_window(), 230); }
  HWND StatusBar() const { return GetDlgItem(main_window(), 200); }
  std::string ReadSetting(const char* section, const char* key) const;

  voskohost::HostAnswers answers;
  ModalInterceptor modal;
  std::string home_, quotes_;  // fresh temporary folders, removed with all in them
  std::unique_ptr<voskohost::HostSession> session_;
  voskohost::HostFrame frame_;
  HMODULE preloaded_ = nullptr;
};

// What the standard scene's files hold.
extern const char kFileA[];
extern const char kFileB[];
extern const std::string kOldPms;
constexpr char kRecordA[] = "07EA,0C,05,0E,07,9";

}  // namespace vtest
