#include "harness.h"

#include "contract/resource_ids.h"
#include "contract/string_table.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

namespace vtest {
namespace {

// Ids that message boxes give their controls.
constexpr int kBoxTextId = 0xFFFF;

bool IsDialogClass(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

// A fresh folder in the temporary folder.
std::string NewFolder(const std::string& stem) {
  static std::atomic<int> counter{0};
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      (stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
  std::filesystem::create_directory(path);
  return path.string();
}

// vosko.dll beside the test program.
std::string LibraryPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string program = path;
  return program.substr(0, program.find_last_of("\\/") + 1) + "vosko.dll";
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

void ModalInterceptor::AnswerBoxesWith(const std::vector<int>& buttons) {
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
    record.owner = GetWindow(window, GW_OWNER);
    boxes_.push_back(record);
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

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return kAbsent;
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
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) names.insert(entry.path().filename().string());
  }
  return names;
}

std::string Text(unsigned id) { return std::string(vosko::TableText(id)); }

std::string WithNumber(unsigned id, long long number) {
  std::string text = Text(id);
  return text.replace(text.find("%d"), 2, std::to_string(number));
}

const char kFileA[] = "@@TITLE=A\r\none\r\n\r\ntwo\r\n";
const char kFileB[] = "@@TITLE=B\r\nthree\r\n";
const std::string kOldPms(
    "head\xFF"
    "A\0B1\nB2\0",
    13);

void SetField(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

void PressDialogButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<HWND> g_box_owners;

int WINAPI RecordBoxOwner(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  g_box_owners.push_back(owner);
  return MessageBoxA(owner, text, caption, style);
}

bool PutClipboardText(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  const bool ok = OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_OEMTEXT, memory) != nullptr;
  CloseClipboard();
  return ok;
}

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

bool PutClipboardUnicode(const std::string& utf8) {
  const std::wstring text = Wide(utf8);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  const bool ok = OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  return ok;
}

std::string Utf16Bytes(const std::string& utf8, bool big, bool mark) {
  std::string bytes = mark ? "\xFF\xFE" : "";
  for (wchar_t unit : Wide(utf8)) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  for (std::size_t i = 0; big && i < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string StatusText(HWND status_bar, int part) {
  char text[1024] = {};
  SendMessageA(status_bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
  return text;
}

std::vector<std::vector<std::string>> ListRows(HWND list_view) {
  std::vector<std::vector<std::string>> rows(ListView_GetItemCount(list_view));
  const int columns = std::max(1, Header_GetItemCount(ListView_GetHeader(list_view)));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    for (int column = 0; column < columns; ++column) {
      char text[1024] = {};
      ListView_GetItemText(list_view, row, column, text, sizeof text);
      rows[row].emplace_back(text);
    }
  }
  return rows;
}

void SelectListRows(HWND list_view, const std::vector<int>& rows, int focused) {
  ListView_SetItemState(list_view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (int row : rows) ListView_SetItemState(list_view, row, LVIS_SELECTED, LVIS_SELECTED);
  if (focused >= 0) ListView_SetItemState(list_view, focused, LVIS_FOCUSED, LVIS_FOCUSED);
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int row = -1; (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
    rows.push_back(row);
  }
  return rows;
}

void ExtensionTest::SetUp() {
  home_ = NewFolder("vosko-home");
  quotes_ = NewFolder("vosko-quotes");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(voskohost::HostSession::RegisterClasses(instance));
  ASSERT_TRUE(frame_.Create(instance, "Vosko test host", SW_HIDE));
  answers.home_directory = home_;
  // The host's file-type list, which start-up registers the quote files in.
  WriteFileBytes(Home("filetype.pm"), "");
}

void ExtensionTest::TearDown() {
  Close();
  frame_.Destroy();
  Pump();
  if (preloaded_ != nullptr) FreeLibrary(preloaded_);
  std::error_code ignored;
  for (const std::string& folder : {home_, quotes_}) std::filesystem::remove_all(folder, ignored);
}

int ExtensionTest::Open() {
  session_ = std::make_unique<voskohost::HostSession>(answers, frame_.client());
  std::string error;
  int result = session_->Open(LibraryPath(), &error);
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
  if (preloaded_ == nullptr) preloaded_ = LoadLibraryA(LibraryPath().c_str());
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
  WriteFileBytes(settings_file(),
                 "[Vosko]\r\nQuoteFolder=" + quotes_ + "\r\n" + vosko_lines + "[VoskoFiles]\r\n" + record_lines);
}

void ExtensionTest::CreateThrough(int button, const std::vector<std::pair<int, std::string>>& fields) {
  if (button != IDC_NEW) {
    modal.ExpectDialog([button](HWND options) {
      PressDialogButton(options, button);
      PressDialogButton(options, IDC_OPT_CANCEL);
    });
  }
  modal.ExpectDialog([fields](HWND dialog) {
    for (const auto& [id, text] : fields) SetField(dialog, id, text);
    PressDialogButton(dialog, IDC_NEW_OK);
    PressDialogButton(dialog, IDC_NEW_CANCEL);
  });
  Press(button == IDC_NEW ? IDC_NEW : IDC_OPTIONS);
}

void ExtensionTest::StandardFiles(const std::string& vosko_lines) {
  WriteQuoteFile("a.lsq", kFileA);
  WriteQuoteFile("b.lsq", kFileB);
  WriteSettings(vosko_lines, std::string("a.lsq=") + kRecordA + "\r\n");
  WriteFileBytes(Pms(), kOldPms);
}

void ExtensionTest::EmptyFolders() {
  for (const std::string& folder : {home_, quotes_}) {
    for (const std::string& name : FilesIn(folder)) DeleteFileA((folder + "\\" + name).c_str());
  }
}

void ExtensionTest::WriteQuoteFile(const std::string& name, const std::string& bytes) {
  WriteFileBytes(Quotes(name), bytes);
}

std::string ExtensionTest::ReadSetting(const char* section, const char* key) const {
  char value[1024] = {};
  GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, settings_file().c_str());
  return value;
}

}  // namespace vtest
