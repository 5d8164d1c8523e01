#include "cli_progress.h"

#include <algorithm>

#include "cli_support.h"

namespace vosko::cli {

void TerminalProgress::Done() {
  if (shown_ > 0) err_ << '\r' << std::string(shown_, ' ') << '\r' << std::flush;
  shown_ = 0;
  on_ = false;
}

bool TerminalProgress::Due() {
  const Clock::time_point now = Clock::now();
  if (now < next_) return false;
  next_ = now + kEvery;
  return true;
}

void TerminalProgress::Put(std::string line) {
  line.resize(std::min<std::size_t>(line.size(), kWidth));  // a wrapped line would not go back
  // Padded to wipe what a longer line before it left.
  err_ << '\r' << line << std::string(shown_ > line.size() ? shown_ - line.size() : 0, ' ') << std::flush;
  shown_ = line.size();
}

void TerminalProgress::Show(std::optional<std::string_view> name, std::int64_t, std::int64_t, std::int64_t totalDone,
                            std::int64_t totalSize, bool) {
  if (!on_) return;
  if (name) name_ = *name;
  if (!Due()) return;
  // Each line read counts two bytes for its line end, so the count can pass the size a little.
  const std::int64_t mb = 1024 * 1024;
  const std::int64_t done = std::min(totalDone, totalSize);
  const std::string total = std::to_string((totalSize + mb - 1) / mb);
  Put("vosko: " + Text(IDS_CLI_PROGRESS_BYTES, {std::to_string(done / mb), total, name_}));
}

void TerminalProgress::Files(std::size_t done, std::size_t total) {
  if (!on_ || !Due()) return;
  Put("vosko: " + Text(IDS_CLI_PROGRESS_FILES, {std::to_string(done), std::to_string(total)}));
}

}  // namespace vosko::cli
