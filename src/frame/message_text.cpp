#include "frame/message_text.h"

namespace vosko {

std::string FillMessageNumber(std::string text, std::uint16_t number) {
  if (number == 0) return text;
  size_t at = text.find("%d");
  if (at == std::string::npos) return text;
  text.replace(at, 2, std::to_string(number));
  return text;
}

}  // namespace vosko
