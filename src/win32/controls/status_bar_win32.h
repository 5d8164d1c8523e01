// The status bar along the bottom of the main window, and the two progress bars that lie
// over its second and third parts while a long run (compile, rescan, export) lasts.
//
// A long run holds a ProgressRun for its whole length: it makes the bars, passes the
// engine's progress to them and, however the run ends, removes them and puts the idle
// text back. No other code creates or destroys the progress bars.
#pragma once

#include "engine/progress.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace vosko {

// Makes the status bar of the main window (three parts, the idle text). False when the
// control could not be made.
bool CreateStatusBar();

// Puts a text into the status bar's first part (nothing without a status bar).
void SetStatusText(const std::string& text);
// The text between runs.
void ShowIdleStatus();

// Makes the Total bar over part 2, then the Detail bar over part 1. False, with neither bar
// left, when one could not be made; updates of a missing bar do nothing.
bool CreateProgressBars();

// The status text, when `name` is given ("Compiling "name"..." for a run that writes a
// file, "Rescanning "name"..." for one that does not), then both bars when both sizes are
// non-zero: each at done / size percent, truncated.
void ShowProgress(const char* name, std::int64_t file_done, std::int64_t file_size, std::int64_t total_done,
                  std::int64_t total_size, bool with_output);

// The end of a run: the Total bar, then the Detail bar, destroyed; the idle text back.
void EndProgressRun();

// The percentage a bar shows: truncated toward zero, held between 0 and 100.
int ProgressPercent(std::int64_t done, std::int64_t size);
// "Compiling "name"..." for a run that writes a file, "Rescanning "name"..." for one that
// does not, cut to the 255 characters of the status text.
std::string ProgressText(const char* name, bool with_output);

class ProgressRun final : public Progress {
 public:
  ProgressRun() { CreateProgressBars(); }
  ~ProgressRun() override { EndProgressRun(); }
  ProgressRun(const ProgressRun&) = delete;
  ProgressRun& operator=(const ProgressRun&) = delete;

  void Show(std::optional<std::string_view> name, std::int64_t file_done, std::int64_t file_size,
            std::int64_t total_done, std::int64_t total_size, bool with_output) override;

 private:
  static constexpr DWORD kBarIntervalMs = 40;
  void MoveBar(HWND bar, int percent, int& shown);

  // What the controls show now; -1 and empty until first set.
  std::string shown_text_;
  int shown_detail_ = -1;
  int shown_total_ = -1;
  DWORD last_move_ = 0;  // tick count of the last bar move
};

// The wait cursor for as long as it lives; the cursor before it comes back at its end.
class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace vosko
