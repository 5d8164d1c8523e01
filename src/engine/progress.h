// Progress of a long run (compile, rescan, export): the status text and the Detail and Total
// bars.  The DLL implements it over its status bar; the engine only reports byte counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vosko {

class Progress {
 public:
  virtual ~Progress() = default;
  // `name`, when given, is put into the status text: the compile text when `with_output` (the
  // run writes a file: compile, export), the rescan text otherwise.  The bars move only when
  // both sizes are non-zero: Detail to file_done / file_size, Total to total_done / total_size.
  // Counts are 64-bit so that a run over more than 2 GiB of quotes cannot turn negative.
  virtual void Show(std::optional<std::string_view> name, std::int64_t file_done, std::int64_t file_size,
                    std::int64_t total_done, std::int64_t total_size, bool with_output) = 0;
};

}  // namespace vosko
