#include "engine/compile_record.h"

#include <cstdio>
#include <limits>

namespace vosko {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One "%Nx" conversion (max_chars 0: no width).  Like the runtime's scanner: white space first,
// then a sign and digits that together use at most max_chars characters; at least one digit.
// `fits_int` tells whether the number as written lies in 0 to 2^31 - 1.
bool ScanHex(std::string_view& in, std::size_t max_chars, std::uint32_t& out, bool& fits_int) {
  std::size_t i = 0;
  while (i < in.size() && IsScanSpace(in[i])) ++i;
  const std::size_t limit = max_chars == 0 ? std::numeric_limits<std::size_t>::max() : max_chars;
  std::size_t used = 0;
  bool negative = false;
  if (i < in.size() && (in[i] == '+' || in[i] == '-') && used < limit) {
    negative = in[i] == '-';
    ++i;
    ++used;
  }
  std::uint32_t value = 0;
  bool wrapped = false;
  std::size_t digits = 0;
  while (i < in.size() && used < limit && HexDigit(in[i]) >= 0) {
    wrapped = wrapped || value > 0x0FFFFFFFu;
    value = value * 16u + static_cast<std::uint32_t>(HexDigit(in[i]));
    ++i;
    ++used;
    ++digits;
  }
  if (digits == 0) return false;
  fits_int = !wrapped && value <= 0x7FFFFFFFu && (!negative || value == 0);
  out = negative ? 0u - value : value;
  in.remove_prefix(i);
  return true;
}

}  // namespace

std::string CompileRecordText(const CalendarTime& time, std::int32_t count) {
  char tail[16];
  std::snprintf(tail, sizeof tail, ",%x", static_cast<unsigned>(static_cast<std::uint32_t>(count)));
  return StampText(time) + tail;
}

CompileRecord ParseCompileRecord(std::string_view value) {
  CompileRecord record;
  std::uint16_t* const stamp_fields[] = {&record.time.year, &record.time.month, &record.time.day, &record.time.hour,
                                         &record.time.minute};
  const std::size_t widths[] = {4, 2, 2, 2, 2};
  for (int field = 0; field < 6; ++field) {
    if (field > 0) {
      if (value.empty() || value.front() != ',') return record;
      value.remove_prefix(1);
    }
    std::uint32_t v = 0;
    bool fits = false;
    if (!ScanHex(value, field < 5 ? widths[field] : 0, v, fits)) return record;
    if (field < 5) {
      *stamp_fields[field] = static_cast<std::uint16_t>(v);
    } else {
      record.count = static_cast<std::int32_t>(v);
      record.count_out_of_range = !fits;
    }
    record.fields_read = field + 1;
  }
  return record;
}

}  // namespace vosko
