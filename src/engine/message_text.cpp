#include "engine/message_text.h"

namespace vosko {

std::string FillMessageNumber(std::string text, std::uint16_t number) {
  if (number == 0) return text;
  size_t at = text.find("%d");
  if (at == std::string::npos) return text;
  text.replace(at, 2, std::to_string(number));
  return text;
}

std::string FillMessageTexts(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string filled;
  const std::string_view* next = values.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (next != values.end() && text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd')) {
      filled += *next++;
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}

}  // namespace vosko
