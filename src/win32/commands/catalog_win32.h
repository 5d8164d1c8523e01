// The scan of the quote folder: one catalog entry per quote file, with its title and author
// read from the file and its compile record from the settings file. The scan touches no
// control: the main window puts the entries into the list.
#pragma once

#include "engine/catalog_entry.h"
#include "engine/engine_report.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vosko {

class FileSearch;

// A message of the scan, kept to be shown once the rows read with it are in the list.
struct ScanMessage {
  unsigned string_id;
  unsigned number;
  ReportIcon icon;
  ReportOwner owner;
};

// What one slice of the scan read: the entries in directory order, and the messages to show.
struct ScanSlice {
  std::vector<std::unique_ptr<CatalogEntry>> entries;
  std::vector<ScanMessage> messages;
  bool done = false;  // the folder has no more files; the last slice carries the repeat counts
};

// The quote folder read a slice at a time, so that a folder of thousands of files can fill
// the list while the window answers. A file that cannot be opened is reported with
// IDS_OPEN_FAILED and skipped; each kind of message comes once, as it first occurs, and the
// repeats are counted in one message (IDS_SCAN_REPEATS) with the last slice.
class QuoteFolderScan {
 public:
  QuoteFolderScan();
  ~QuoteFolderScan();
  QuoteFolderScan(const QuoteFolderScan&) = delete;
  QuoteFolderScan& operator=(const QuoteFolderScan&) = delete;

  // Reads on until `files` files were read or `milliseconds` passed, whichever is first.
  ScanSlice Read(std::size_t files, DWORD milliseconds);

 private:
  struct Kind {
    ScanMessage first;
    unsigned repeats;
  };
  void Report(ScanSlice& slice, const ScanMessage& message);

  std::string folder_;
  std::optional<std::string> pattern_;
  CompileRecordIndex records_;
  WIN32_FIND_DATAA found_ = {};
  std::unique_ptr<FileSearch> search_;
  bool more_ = false;
  std::vector<Kind> kinds_;
};

}  // namespace vosko
