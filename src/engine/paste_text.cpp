#include "engine/paste_text.h"

#include <cstring>

namespace vosko {

std::optional<std::string_view> TerminatedText(const char* block, std::size_t size) {
  if (block == nullptr) return std::nullopt;
  const void* end = std::memchr(block, '\0', size);
  if (end == nullptr) return std::nullopt;
  return std::string_view(block, static_cast<std::size_t>(static_cast<const char*>(end) - block));
}

std::size_t CountPastedLines(std::string_view text) {
  std::size_t lines = 0;
  bool in_line = false;
  for (char c : text) {
    if (c == '\n') {
      in_line = false;
    } else if (!in_line) {
      in_line = true;
      ++lines;
    }
  }
  return lines;
}

}  // namespace vosko
