// How far a long run is, on standard error, for a person at a terminal: nothing during the
// first second (most runs are over by then), then one line rewritten in place at most five
// times a second, wiped when the run ends.  Off, it costs a test of one flag.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "engine/progress.h"

namespace vosko::cli {

class TerminalProgress final : public Progress {
 public:
  TerminalProgress(std::ostream& err, bool on) : err_(err), on_(on), start_(Clock::now()), next_(start_ + kQuiet) {}
  ~TerminalProgress() override { Done(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // Bytes of a compile, count, export or check; the name is the file being read.
  void Show(std::optional<std::string_view> name, std::int64_t fileDone, std::int64_t fileSize, std::int64_t totalDone,
            std::int64_t totalSize, bool withOutput) override;
  // Files of a list.
  void Files(std::size_t done, std::size_t total);
  // Wipes the line, before the command prints its results.
  void Done();

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuiet{1000};
  static constexpr std::chrono::milliseconds kEvery{200};
  static constexpr std::size_t kWidth = 79;
  bool Due();
  void Put(std::string line);

  std::ostream& err_;
  bool on_;
  Clock::time_point start_, next_;
  std::string name_;
  std::size_t shown_ = 0;  // the length of the line on the terminal
};

}  // namespace vosko::cli
