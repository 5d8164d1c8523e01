// FormatNumber over arbitrary values, sizes, decimals and flags: never longer than its field,
// and a number that fits shows its own leading digits.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 17) return 0;
  double value;
  std::int32_t formatSize, decimals;
  std::memcpy(&value, data, 8);
  std::memcpy(&formatSize, data + 8, 4);
  std::memcpy(&decimals, data + 12, 4);
  const std::uint8_t flags = data[16];
  // Small sizes and decimals most of the time, any value some of the time.
  if (!(flags & 0x80)) formatSize = formatSize % 40, decimals = decimals % 12;
  const std::string text = vosko::FormatNumber(
      value, {formatSize, decimals, (flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0});
  if (static_cast<long long>(text.size()) > std::max(0LL, formatSize - 1LL) || text.find('\0') != std::string::npos)
    std::abort();
  // Without asterisks and for a value of at least 1, the digits shown are the rounded value's
  // integer digits, never a cut-off part of them.
  if (!text.empty() && text[0] != '*' && std::isfinite(value) && std::fabs(value) >= 1 && decimals >= 0 &&
      decimals <= 9 && std::fabs(std::strtod(text.c_str(), nullptr)) < std::fabs(value) / 10.0 - 1)
    std::abort();
  return 0;
}
