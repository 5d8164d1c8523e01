#include "win32/commands/catalog_win32.h"

#include "contract/resource_ids.h"
#include "engine/quote_format.h"
#include "win32/base/engine_report_win32.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/guards_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"

namespace vosko {
namespace {

// Each kind of message once per scan: a folder of thousands of files that cannot be opened
// would otherwise ask for thousands of clicks. The first of a kind is shown as it comes;
// the repeats are counted and told in one message at the end.
class ReportOnce final : public EngineReport {
 public:
  void Report(unsigned string_id, unsigned number, ReportIcon icon, ReportOwner owner) override {
    for (Kind& kind : kinds_) {
      if (kind.string_id == string_id) {
        ++kind.repeats;
        return;
      }
    }
    kinds_.push_back({string_id, icon, owner, 0});
    shown_.Report(string_id, number, icon, owner);
  }
  ~ReportOnce() override {
    for (const Kind& kind : kinds_) {
      if (kind.repeats == 0) continue;
      // The count travels as a 16-bit number.
      shown_.Report(IDS_SCAN_REPEATS, kind.repeats < 65535 ? kind.repeats : 65535, kind.icon, kind.owner);
    }
  }

 private:
  struct Kind {
    unsigned string_id;
    ReportIcon icon;
    ReportOwner owner;
    unsigned repeats;
  };
  MessageBoxReport shown_;
  std::vector<Kind> kinds_;
};

}  // namespace

std::vector<std::unique_ptr<CatalogEntry>> ScanQuoteFolder() {
  const std::string folder = g_state->quote_folder;
  const std::optional<std::string> pattern = QuoteFilePath(folder, LoadTableString(IDS_QUOTE_PATTERN));
  ReportOnce report;
  // The entries are gathered first; the list inserts them in title order at the end.
  std::vector<std::unique_ptr<CatalogEntry>> entries;
  if (!pattern) return entries;
  const CompileRecordIndex records = ReadCompileRecords(*g_state);
  WIN32_FIND_DATAA found = {};
  FileSearch search(*pattern, found);
  for (bool more = search.Found(); more; more = search.Next(found)) {
    // A folder whose name ends in ".lsq" is no quote file.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::optional<std::string> path = QuoteFilePath(folder, found.cFileName);
    if (!path) {
      // Too long for a path: reported as a file that cannot be opened.
      report.Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Information, ReportOwner::MainWindow);
      continue;
    }
    const std::optional<CatalogTexts> texts = ReadCatalogTexts(*path, &report, &HostCodePage());
    if (!texts) continue;
    const std::string name = found.cFileName;
    const std::string record =
        CompileRecordIndex::Covers(name) ? records.Find(name) : ReadCompileRecord(*g_state, name);
    entries.push_back(
        std::make_unique<CatalogEntry>(MakeCatalogEntry(ListingOf(found), texts->title, texts->author, record)));
  }
  return entries;
}

}  // namespace vosko
