// The compile record: one value per quote file in section "VoskoFiles" of the settings file,
// holding when the file was last compiled and how many quotes it had, as
// '07EA,0C,05,0E,07,7b' (stamp in upper-case hex, then the count in lower-case hex).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text_format.h"

namespace vosko {

// The value to store: the stamp of `time` (year, month, day, hour, minute), a comma and the
// count in "%x" form (a negative count is written as its 32-bit pattern, as the runtime does).
std::string CompileRecordText(const CalendarTime& time, std::int32_t count);

struct CompileRecord {
  CalendarTime time;  // year, month, day, hour and minute; the other fields 0
  std::int32_t count = 0;
  int fields_read = 0;  // 0 to 6; the fields after the first one that failed stay 0
  // The count field as written is no number from 0 to 2^31 - 1 (a minus sign, or digits past
  // 31 bits): a hand-edited record can hold any digits, and such a count is not shown.
  bool count_out_of_range = false;
};
// Reads a stored value.  Hex digits of either case; at most 4 digits for the year and 2 for
// each of the next four fields, any number for the count (it wraps at 32 bits).  Each field
// may have leading white space and a sign, as a "%x" conversion allows; fields are separated
// by exactly one comma.
CompileRecord ParseCompileRecord(std::string_view value);

}  // namespace vosko
