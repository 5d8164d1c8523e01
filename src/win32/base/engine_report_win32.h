// Shows the engine's reports as the system's message boxes: string-table text, its number
// in place of "%d", the system's caption, owned by the main window unless the engine says
// there is no owner yet.
#pragma once

#include "engine/engine_report.h"

#include <windows.h>

#include <vector>

namespace vosko {

UINT ReportStyle(ReportIcon icon);

class MessageBoxReport final : public EngineReport {
 public:
  void Report(unsigned string_id, unsigned number, ReportIcon icon, ReportOwner owner) override;
  // Whether a message with this text has been shown, so that a caller says it only once.
  bool Shown(unsigned string_id) const;

 private:
  std::vector<unsigned> shown_;
};

}  // namespace vosko
