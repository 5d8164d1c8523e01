// The errors the parser finds in a script: the line each is on and what is wrong, and how
// many are kept. The parser makes them, the report prints them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rescom {

struct Diagnostic {
  std::uint32_t line = 0;
  std::string message;  // never contains the letters "of" in a row: see report.h
};

// The batch shows only a screenful; beyond this many errors the parser stops.
inline constexpr std::size_t kMaxErrors = 20;

}  // namespace rescom
