// The compile-record scanner on arbitrary values, and the round trip of what it reads.
#include <cstdlib>
#include <string_view>

#include "engine/compile_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vosko::CompileRecord r = vosko::ParseCompileRecord({reinterpret_cast<const char*>(data), size});
  if (r.fields_read < 0 || r.fields_read > 6 || (r.fields_read == 6 && !r.count_out_of_range && r.count < 0))
    std::abort();
  const auto& t = r.time;
  if (t.month <= 0xFF && t.day <= 0xFF && t.hour <= 0xFF && t.minute <= 0xFF) {
    const vosko::CompileRecord again = vosko::ParseCompileRecord(vosko::CompileRecordText(t, r.count));
    // What the writer stores for a negative count reads back as out of range, nothing else.
    if (again.fields_read != 6 || !(again.time == t) || again.count != r.count ||
        again.count_out_of_range != (r.count < 0))
      std::abort();
  }
  return 0;
}
