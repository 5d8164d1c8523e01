#include "harness.h"

#include "dialog_driver.h"
#include "contract/string_table.h"

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace vtest {
namespace {

// Ids that message boxes give their controls.
constexpr int kBoxTextId = 0xFFFF;
constexpr int kBoxIconId = 0x0440;

bool IsDialogClass(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

bool HasVisibleButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return button != nullptr && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The box's button set and icon, rebuilt from its controls.
UINT BoxStyle(HWND box) {
  UINT style = MB_OK;
  // The extension's boxes are OK, OK/Cancel or Yes/No.
  if (HasVisibleButton(box, IDYES) && HasVisibleButton(box, IDNO))
    style = MB_YESNO;
  else if (HasVisibleButton(box, IDOK) && HasVisibleButton(box, IDCANCEL))
    style = MB_OKCANCEL;

  HWND icon_control = GetDlgItem(box, kBoxIconId);
  if (icon_control != nullptr) {
    HICON icon = reinterpret_cast<HICON>(SendMessageA(icon_control, STM_GETICON, 0, 0));
    const std::pair<LPCSTR, UINT> icons[] = {{IDI_HAND, MB_ICONHAND},
                                             {IDI_QUESTION, MB_ICONQUESTION},
                                             {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                             {IDI_ASTERISK, MB_ICONASTERISK}};
    for (auto [id, flag] : icons) {
      if (icon != nullptr && icon == LoadIconA(nullptr, id)) style |= flag;
    }
  }
  return style;
}

std::string UniqueStem(const std::string& stem) {
  static std::atomic<int> counter{0};
  return stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

}  // namespace

ModalInterceptor* ModalInterceptor::current_ = nullptr;

ModalInterceptor::ModalInterceptor() {
  current_ = this;
  hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

ModalInterceptor::~ModalInterceptor() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (current_ == this) current_ = nullptr;
}

void ModalInterceptor::AnswerBoxesWith(std::initializer_list<int> buttons) {
  box_answers_.insert(box_answers_.end(), buttons.begin(), buttons.end());
}

void ModalInterceptor::Clear() {
  boxes_.clear();
  unscripted_dialogs_.clear();
}

LRESULT CALLBACK ModalInterceptor::HookProc(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && current_ != nullptr) {
    current_->OnActivate(reinterpret_cast<HWND>(wparam));
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void ModalInterceptor::OnActivate(HWND window) {
  if (!IsDialogClass(window)) return;
  // A window is activated more than once (when a box closes over it, say); act once.
  if (GetPropA(window, "vtest.seen") != nullptr) return;
  SetPropA(window, "vtest.seen", reinterpret_cast<HANDLE>(1));

  if (GetDlgItem(window, kBoxTextId) != nullptr) {
    MessageBoxRecord record;
    record.caption = WindowText(window);
    record.text = WindowText(GetDlgItem(window, kBoxTextId));
    record.style = BoxStyle(window);
    record.owner = GetWindow(window, GW_OWNER);
    boxes_.push_back(record);
    if (on_box) on_box(record);
    int answer = IDOK;
    if (!box_answers_.empty()) {
      answer = box_answers_.front();
      box_answers_.pop_front();
    }
    if (GetDlgItem(window, answer) == nullptr) answer = IDCANCEL;
    PressDialogButton(window, answer);
    return;
  }
  if (!dialog_scripts_.empty()) {
    DialogScript script = std::move(dialog_scripts_.front());
    dialog_scripts_.pop_front();
    script(window);
    return;
  }
  unscripted_dialogs_.push_back(WindowText(window));
  PressDialogButton(window, IDCANCEL);
}

void PumpUntilIdle(const voskohost::HostFrame* frame) {
  // Posted work may post more; stop after a few quiet rounds.
  for (int quiet = 0; quiet < 3;) {
    MSG message;
    bool any = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      if (message.message == WM_QUIT) continue;
      if (frame != nullptr && frame->PreTranslate(&message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    quiet = any ? 0 : quiet + 1;
    if (!any) Sleep(1);
  }
}

TempFolder::TempFolder(const std::string& stem) {
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  path_ = std::string(base) + UniqueStem(stem);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<std::string> ModalInterceptor::box_texts() const {
  std::vector<std::string> texts;
  for (const MessageBoxRecord& box : boxes_) texts.push_back(box.text);
  return texts;
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.insert(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::string Text(unsigned id) { return std::string(vosko::TableText(id)); }

std::vector<HWND> g_box_owners;

int WINAPI RecordBoxOwner(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  g_box_owners.push_back(owner);
  return MessageBoxA(owner, text, caption, style);
}

bool PutClipboardText(const std::string& text, UINT format) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  bool ok = false;
  if (memory != nullptr) {
    char* target = static_cast<char*>(GlobalLock(memory));
    memcpy(target, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    ok = SetClipboardData(format, memory) != nullptr;
    if (!ok) GlobalFree(memory);
  }
  CloseClipboard();
  return ok;
}

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? copied : 0);
  return text;
}

std::string StatusText(HWND status_bar, int part) {
  LRESULT info = SendMessageA(status_bar, SB_GETTEXTLENGTHA, part, 0);
  std::string text(LOWORD(info) + 1, '\0');
  SendMessageA(status_bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(info));
  return text;
}

std::vector<std::vector<std::string>> ListRows(HWND list_view) {
  std::vector<std::vector<std::string>> rows;
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_view, LVM_GETHEADER, 0, 0));
  int columns = header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  if (columns <= 0) columns = 1;
  int count = static_cast<int>(SendMessageA(list_view, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < columns; ++column) {
      char text[1024] = {};
      LVITEMA item = {};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(list_view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      cells.emplace_back(text);
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

void SelectListRows(HWND list_view, const std::vector<int>& rows, int focused) {
  LVITEMA clear = {};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list_view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  for (int row : rows) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list_view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  if (focused >= 0) {
    LVITEMA item = {};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageA(list_view, LVM_SETITEMSTATE, focused, reinterpret_cast<LPARAM>(&item));
  }
}

std::string BesideTheProgram(const std::string& name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string program = path;
  return program.substr(0, program.find_last_of("\\/") + 1) + name;
}

void ExtensionTest::SetUp() {
  home_ = std::make_unique<TempFolder>("vosko-home");
  quotes_ = std::make_unique<TempFolder>("vosko-quotes");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(voskohost::HostSession::RegisterClasses(instance));
  ASSERT_TRUE(frame_.Create(instance, "Vosko test host", SW_HIDE));
  answers.home_directory = home_->path();
  // The host's file-type list, which start-up registers the quote files in.
  WriteFileBytes(home_->File("filetype.pm"), "");
}

void ExtensionTest::TearDown() {
  Close();
  frame_.Destroy();
  Pump();
  if (preloaded_ != nullptr) FreeLibrary(preloaded_);
  quotes_.reset();
  home_.reset();
}

int ExtensionTest::Open() {
  session_ = std::make_unique<voskohost::HostSession>(answers, frame_.client());
  std::string error;
  int result = session_->Open(BesideTheProgram(), &error);
  EXPECT_TRUE(error.empty()) << error;
  return result;
}

int ExtensionTest::OpenAndShow() {
  int result = Open();
  if (result != 0) session_->ShowExtension();
  Pump();
  return result;
}

HMODULE ExtensionTest::PreloadLibrary() {
  if (preloaded_ == nullptr) preloaded_ = LoadLibraryA(BesideTheProgram().c_str());
  return preloaded_;
}

void ExtensionTest::Close() {
  if (session_) {
    session_->Close();
    session_.reset();
  }
}

void ExtensionTest::Press(int id) {
  SendMessageA(main_window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Button(id)));
  Pump();
}

void ExtensionTest::WriteSettings(const std::string& vosko_lines, const std::string& record_lines) {
  WriteFileBytes(settings_file(), "[Vosko]\r\nQuoteFolder=" + quotes_->path() + "\r\n" + vosko_lines +
                                      "[VoskoFiles]\r\n" + record_lines);
}

void ExtensionTest::WriteQuoteFile(const std::string& name, const std::string& bytes) {
  WriteFileBytes(quotes_->File(name), bytes);
}

std::string ExtensionTest::ReadSetting(const char* section, const char* key) const {
  char value[1024] = {};
  GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, settings_file().c_str());
  return value;
}

}  // namespace vtest
