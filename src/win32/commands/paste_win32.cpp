#include "win32/commands/paste_win32.h"

#include "engine/message_text.h"
#include "engine/paste_text.h"
#include "win32/base/guards_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "engine/engine_report.h"
#include "win32/controls/list_view_win32.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

namespace vosko {
namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  constexpr std::size_t kChunk = 1 << 20;
  while (!bytes.empty()) {
    const DWORD size = static_cast<DWORD>(std::min(bytes.size(), kChunk));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), size, &written, nullptr) || written != size) return false;
    bytes.remove_prefix(size);
  }
  return true;
}

enum class Append { kDone, kRefused, kDeclined, kWriteFailed };

// The whole file from its start; nothing when it cannot be read.
std::optional<std::string> ReadAll(HANDLE file) {
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > std::string().max_size()) {
    return std::nullopt;
  }
  std::string bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  constexpr std::size_t kChunk = 1 << 20;
  for (std::size_t at = 0; at < bytes.size();) {
    const DWORD wanted = static_cast<DWORD>(std::min(bytes.size() - at, kChunk));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data() + at, wanted, &read, nullptr) || read == 0) return std::nullopt;
    at += read;
  }
  return bytes;
}

// Asks whether to paste a text of which `replaced` characters the quote file cannot hold.
bool ReplacingAccepted(std::size_t replaced, const std::string& title) {
  const std::string text = FillMessageTexts(LoadTableString(IDS_PASTE_REPLACED), {std::to_string(replaced), title});
  return ShowMessageText(g_state->main_window, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Appends CR LF, the text, CR LF to an existing quote file in the file's own encoding, or
// nothing at all. The file must already exist (a quote file that has gone is not made anew)
// and be writable, read-only attribute included, before a byte is written; it stays open
// from the look at its encoding to the last byte, so that nobody changes it in between. Text
// the file cannot hold is written only when the user agrees. A write that fails cuts the
// file back to its old end.
Append AppendQuote(const std::string& path, const ConvertedText& text, const std::string& title) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return Append::kRefused;
  }
  OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return Append::kRefused;
  const std::optional<std::string> old_bytes = ReadAll(file.get());
  if (!old_bytes) return Append::kRefused;
  const ConvertedText bytes = PastedBytes(text, *old_bytes, HostCodePage());
  if (!bytes.replaced.empty() && !ReplacingAccepted(bytes.replaced.size(), title)) return Append::kDeclined;
  LARGE_INTEGER end = {};
  const LARGE_INTEGER zero = {};
  if (!SetFilePointerEx(file.get(), zero, &end, FILE_END)) return Append::kRefused;
  if (WriteAll(file.get(), bytes.bytes)) {
    if (file.Close()) return Append::kDone;
    // What the failed close kept is unknown: the file is opened again and cut back.
    file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return Append::kWriteFailed;
  }
  SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
  SetEndOfFile(file.get());
  return Append::kWriteFailed;
}

// A copy of the clipboard's text up to its end, as UTF-8; nothing without one. The Unicode
// text the system keeps for every text copied; ANSI text only where a program left nothing
// else. The clipboard is unlocked and closed on return, before the file is written and the
// message waits for OK, so that other programs can copy and paste meanwhile.
std::optional<ConvertedText> ClipboardText() {
  OpenedClipboard clipboard(g_state->main_window);
  if (!clipboard.open()) return std::nullopt;
  if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    LockedMemory block(GetClipboardData(CF_UNICODETEXT));
    return TerminatedUtf16Text(block.data(), block.size());
  }
  LockedMemory block(GetClipboardData(CF_TEXT));
  const std::optional<std::string_view> text = TerminatedText(block.data(), block.size());
  if (!text) return std::nullopt;
  ConvertedText utf8;
  HostCodePage().AppendUtf8(*text, utf8.bytes);
  return utf8;
}

void ShowAdded(std::size_t lines, const std::string& title) {
  const std::string pattern = LoadTableString(IDS_PASTE_ADDED);
  std::string counted = pattern;
  ReplaceFirst(pattern, counted, "%d", std::to_string(lines));
  std::string text = counted;
  ReplaceFirst(counted, text, "%s", title);  // last, so that the title is never scanned
  const std::string caption = LoadTableString(IDS_MESSAGE_CAPTION);
  MessageBoxA(g_state->main_window, text.c_str(), caption.c_str(), kStyleInformation);
}

}  // namespace

bool PasteClipboardQuote() {
  if (g_state == nullptr) return false;
  const int row = FocusedSelectedRow();
  if (row < 0) return false;
  // Name and title come from the row's entry: with columns hidden the list has no cells
  // for them.
  const std::optional<std::string> path = RowFilePath(row);
  if (!path) return false;
  const std::string title = RowField(row, kColumnTitle).value_or("");

  const std::optional<ConvertedText> text = ClipboardText();
  if (!text) return false;
  switch (AppendQuote(*path, *text, title)) {
    case Append::kRefused:
    case Append::kDeclined:
      return false;
    case Append::kWriteFailed:
      ShowTableMessage(g_state->main_window, IDS_FILE_WRITE_FAILED, kFileErrorNumber, kStyleError);
      return false;
    case Append::kDone:
      break;
  }
  // Line feeds are the same in every encoding: the lines of the UTF-8 are the clipboard's.
  ShowAdded(CountPastedLines(text->bytes), title);
  return true;
}

}  // namespace vosko
