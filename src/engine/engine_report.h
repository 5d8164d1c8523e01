// How the engine reports a failure to the user.  The DLL shows these through its message-box
// helper (string-table text, the number filling "%d", caption 33); a command-line tool prints
// them.  The engine never formats the message itself.
#pragma once

namespace vosko {

enum class ReportIcon { Information, Stop, Exclamation };
// Whose window the message belongs to: the main window, or none (recompile runs before the
// new quote file's dialog has an owner it could use).
enum class ReportOwner { MainWindow, None };

// File errors carry this number in IDS_OPEN_FAILED, IDS_SCRIPT_WRITE_FAILED and IDS_FILE_WRITE_FAILED; the helper shows
// numbers as 16-bit unsigned values, so it is the -1 that the old runtime gave as a 16-bit value.
inline constexpr unsigned kFileErrorNumber = 65535;

class EngineReport {
 public:
  virtual ~EngineReport() = default;
  // `number` 0 means the text has no number to fill.
  virtual void Report(unsigned string_id, unsigned number, ReportIcon icon, ReportOwner owner) = 0;
};

}  // namespace vosko
