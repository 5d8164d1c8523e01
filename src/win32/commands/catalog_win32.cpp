#include "win32/commands/catalog_win32.h"

#include "contract/resource_ids.h"
#include "engine/quote_format.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/guards_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"

#include <functional>
#include <utility>

namespace vosko {
namespace {

// The reader's messages go to the slice being read.
class SliceReport final : public EngineReport {
 public:
  explicit SliceReport(std::function<void(const ScanMessage&)> report) : report_(std::move(report)) {}
  void Report(unsigned string_id, unsigned number, ReportIcon icon, ReportOwner owner) override {
    report_({string_id, number, icon, owner});
  }

 private:
  std::function<void(const ScanMessage&)> report_;
};

}  // namespace

QuoteFolderScan::QuoteFolderScan()
    : folder_(g_state->quote_folder),
      pattern_(QuoteFilePath(folder_, LoadTableString(IDS_QUOTE_PATTERN))),
      records_(pattern_ ? ReadCompileRecords(*g_state) : CompileRecordIndex()) {
  if (!pattern_) return;
  search_ = std::make_unique<FileSearch>(*pattern_, found_);
  more_ = search_->Found();
}

QuoteFolderScan::~QuoteFolderScan() = default;

// Each kind of message once per scan: a folder of thousands of files that cannot be opened
// would otherwise ask for thousands of clicks. The first of a kind is shown with the slice
// that met it; the repeats are counted and told in one message at the end.
void QuoteFolderScan::Report(ScanSlice& slice, const ScanMessage& message) {
  for (Kind& kind : kinds_) {
    if (kind.first.string_id == message.string_id) {
      ++kind.repeats;
      return;
    }
  }
  kinds_.push_back({message, 0});
  slice.messages.push_back(message);
}

ScanSlice QuoteFolderScan::Read(std::size_t files, DWORD milliseconds) {
  ScanSlice slice;
  SliceReport report([&](const ScanMessage& message) { Report(slice, message); });
  const DWORD start = GetTickCount();
  for (std::size_t read = 0; more_ && read < files && GetTickCount() - start < milliseconds;
       ++read, more_ = search_->Next(found_)) {
    // A folder whose name ends in ".lsq" is no quote file.
    if (found_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::optional<std::string> path = QuoteFilePath(folder_, found_.cFileName);
    if (!path) {
      // Too long for a path: reported as a file that cannot be opened.
      Report(slice, {IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Information, ReportOwner::MainWindow});
      continue;
    }
    const std::optional<CatalogTexts> texts = ReadCatalogTexts(*path, &report, &HostCodePage());
    if (!texts) continue;
    const std::string name = found_.cFileName;
    const std::string record =
        CompileRecordIndex::Covers(name) ? records_.Find(name) : ReadCompileRecord(*g_state, name);
    slice.entries.push_back(
        std::make_unique<CatalogEntry>(MakeCatalogEntry(ListingOf(found_), texts->title, texts->author, record)));
  }
  if (more_) return slice;
  slice.done = true;
  for (const Kind& kind : kinds_) {
    // The count travels as a 16-bit number.
    if (kind.repeats > 0) {
      slice.messages.push_back({IDS_SCAN_REPEATS, kind.repeats < 65535 ? kind.repeats : 65535, kind.first.icon,
                                kind.first.owner});
    }
  }
  kinds_.clear();
  return slice;
}

}  // namespace vosko
