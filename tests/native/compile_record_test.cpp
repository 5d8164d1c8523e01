#include "engine/compile_record.h"

#include <gtest/gtest.h>

#include <tuple>

namespace vosko {
namespace {

TEST(CompileRecord, WritesTheStampAndTheCount) {
  CalendarTime t;
  t.year = 2026, t.month = 12, t.day = 5, t.hour = 14, t.minute = 7;
  EXPECT_EQ(CompileRecordText(t, 123), "07EA,0C,05,0E,07,7b");
  EXPECT_EQ(CompileRecordText(CalendarTime{}, 0), "0000,00,00,00,00,0");  // rescan of a never-compiled file
  EXPECT_EQ(CompileRecordText(CalendarTime{}, -1), "0000,00,00,00,00,ffffffff");
}

TEST(CompileRecord, ReadsWhatParsesAndZeroesTheRest) {
  struct Case {
    const char* value;
    int year, month, day, hour, minute;
    std::int32_t count;
    int fields;
  } const cases[] = {
      {"07EA,0C,05,0E,10,2a", 2026, 12, 5, 14, 16, 42, 6},
      {"07d0,01,0f,09,05,1f", 2000, 1, 15, 9, 5, 31, 6},
      {"07EA,0C,05,0E,07,7B", 2026, 12, 5, 14, 7, 123, 6},
      {"07EA,0C,05", 2026, 12, 5, 0, 0, 0, 3},
      {"07EA;0C", 2026, 0, 0, 0, 0, 0, 1},
      {"07EAF,0C,05,0E,07,1", 2026, 0, 0, 0, 0, 0, 1},  // a fifth year digit is not a comma
      {"07EA,123,05,0E,07,1", 2026, 0x12, 0, 0, 0, 0, 2},
      {"7EA, C, 5,E,7,  ff", 2026, 12, 5, 14, 7, 255, 6},
      {"07EA,0C,05,0E,07,123456789", 2026, 12, 5, 14, 7, 0x23456789, 6},  // wraps at 32 bits
      {"07EA,0C,05,0E,07,", 2026, 12, 5, 14, 7, 0, 5},
      {"zz", 0, 0, 0, 0, 0, 0, 0},
      {"", 0, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const CompileRecord r = ParseCompileRecord(c.value);
    EXPECT_EQ(std::tuple(int{r.time.year}, int{r.time.month}, int{r.time.day}, int{r.time.hour}, int{r.time.minute},
                         r.count, r.fieldsRead),
              std::tuple(c.year, c.month, c.day, c.hour, c.minute, c.count, c.fields))
        << c.value;
  }
}

}  // namespace
}  // namespace vosko
