#include "win32/commands/paste_win32.h"

#include "engine/paste_text.h"
#include "win32/base/guards_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "engine/engine_report.h"
#include "win32/controls/list_view_win32.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

#include <windows.h>

#include <algorithm>
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

enum class Append { kDone, kRefused, kWriteFailed };

// Appends CR LF, the text, CR LF to an existing quote file, or nothing at all. The file must
// already exist (a quote file that has gone is not made anew) and be writable, read-only
// attribute included, before a byte is written; a write that fails cuts the file back to
// its old end.
Append AppendQuote(const std::string& path, std::string_view text) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return Append::kRefused;
  }
  OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return Append::kRefused;
  LARGE_INTEGER end = {};
  const LARGE_INTEGER zero = {};
  if (!SetFilePointerEx(file.get(), zero, &end, FILE_END)) return Append::kRefused;
  if (WriteAll(file.get(), kPasteSeparator) && WriteAll(file.get(), text) && WriteAll(file.get(), kPasteSeparator)) {
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

// A copy of the clipboard's text up to its end; nothing without one. The clipboard is
// unlocked and closed on return, before the file is written and the message waits for OK, so
// that other programs can copy and paste meanwhile.
std::optional<std::string> ClipboardText() {
  OpenedClipboard clipboard(g_state->main_window);
  if (!clipboard.open()) return std::nullopt;
  LockedMemory block(GetClipboardData(CF_OEMTEXT));
  const std::optional<std::string_view> text = TerminatedText(block.data(), block.size());
  if (!text) return std::nullopt;
  return std::string(*text);
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

  const std::optional<std::string> text = ClipboardText();
  if (!text) return false;
  switch (AppendQuote(*path, *text)) {
    case Append::kRefused:
      return false;
    case Append::kWriteFailed:
      ShowTableMessage(g_state->main_window, IDS_FILE_WRITE_FAILED, kFileErrorNumber, kStyleError);
      return false;
    case Append::kDone:
      break;
  }
  ShowAdded(CountPastedLines(*text), title);
  return true;
}

}  // namespace vosko
