#include "win32/base/table_message_win32.h"

#include "engine/message_text.h"
#include "win32/base/vosko_state_win32.h"
#include "contract/resource_ids.h"

#include <vector>

namespace vosko {

std::string LoadTableString(UINT id) {
  // LoadStringA cuts at the buffer, so grow it until the text fits with room to spare.
  std::vector<char> buffer(256);
  for (;;) {
    int length = LoadStringA(g_module, id, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) return {};
    if (static_cast<size_t>(length) < buffer.size() - 1) return std::string(buffer.data(), length);
    if (buffer.size() >= 65536) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

int ShowTableMessage(HWND owner, UINT id, WORD number, UINT style) {
  std::string text = FillMessageNumber(LoadTableString(id), number);
  std::string caption = LoadTableString(IDS_MESSAGE_CAPTION);
  return MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

int ShowMessageText(HWND owner, const std::string& text, UINT style) {
  return MessageBoxA(owner, text.c_str(), LoadTableString(IDS_MESSAGE_CAPTION).c_str(), style);
}

void ShowInfoText(const char* text) {
  if (text == nullptr) return;
  std::string caption = LoadTableString(IDS_MESSAGE_CAPTION);
  MessageBoxA(GetActiveWindow(), text, caption.c_str(), kStyleInformation);
}

}  // namespace vosko
