// The compile-record scanner on arbitrary values, and the round trip of what it reads.
#include <cstdlib>
#include <string_view>

#include "engine/compile_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vosko::CompileRecord r = vosko::ParseCompileRecord({reinterpret_cast<const char*>(data), size});
  if (r.fieldsRead < 0 || r.fieldsRead > 6 || (r.fieldsRead == 6 && !r.countOutOfRange && r.count < 0)) std::abort();
  const auto& t = r.time;
  if (t.month <= 0xFF && t.day <= 0xFF && t.hour <= 0xFF && t.minute <= 0xFF) {
    const vosko::CompileRecord again = vosko::ParseCompileRecord(vosko::CompileRecordText(t, r.count));
    // What the writer stores for a negative count reads back as out of range, nothing else.
    if (again.fieldsRead != 6 || !(again.time == t) || again.count != r.count || again.countOutOfRange != (r.count < 0))
      std::abort();
  }
  return 0;
}
