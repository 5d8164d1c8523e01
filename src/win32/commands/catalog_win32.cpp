#include "win32/commands/catalog_win32.h"

#include "win32/base/engine_report_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "engine/quote_format.h"
#include "win32/base/regional_settings_win32.h"
#include "contract/resource_ids.h"

#include <memory>
#include <vector>

namespace vosko {
namespace {

// A directory search, closed however the scan ends.
class FileSearch {
 public:
  FileSearch(const std::string& pattern, WIN32_FIND_DATAA& found) : handle_(FindFirstFileA(pattern.c_str(), &found)) {}
  ~FileSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;
  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAA& found) { return FindNextFileA(handle_, &found) != FALSE; }

 private:
  HANDLE handle_;
};

CalendarTime LocalTimeOf(const FILETIME& utc) {
  FILETIME local = {};
  SYSTEMTIME time = {};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return {};
  return CalendarTimeOf(time);
}

// One compile record, read from the settings file as the profile gives it.
std::string ReadCompileRecord(const std::string& file_name) {
  char value[255] = {};
  const std::string section = LoadTableString(IDS_FILES_SECTION);
  DWORD length =
      GetPrivateProfileStringA(section.c_str(), file_name.c_str(), "", value, sizeof value, g_state->settings_file);
  if (length >= sizeof value) length = sizeof value - 1;
  return std::string(value, length);
}

// The whole "VoskoFiles" section at once: reading it key by key would read the settings
// file once per quote file, which makes a scan of thousands of files quadratic.
CompileRecordIndex ReadCompileRecords() {
  const std::string section = LoadTableString(IDS_FILES_SECTION);
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const DWORD length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   g_state->settings_file);
    // A section that does not fit is cut and reported as the buffer size less two.
    if (length + 2 < buffer.size() || buffer.size() >= (256u << 20)) {
      return CompileRecordIndex::FromSection(std::string_view(buffer.data(), length + 1));
    }
    buffer.resize(buffer.size() * 2);
  }
}

int AddEntry(const WIN32_FIND_DATAA& found, const std::string& title, const std::string& author,
             const std::string& record) {
  const int rows = RowCount();
  auto entry = std::make_unique<CatalogEntry>(MakeCatalogEntry(ListingOf(found), title, author, record));
  // Image n + 1 for the row added to n rows: the image list holds a copy of the item icon
  // for every such number.
  return InsertCatalogRow(std::move(entry), rows + 1);
}

}  // namespace

FileListing ListingOf(const WIN32_FIND_DATAA& found) {
  FileListing listing;
  listing.name = found.cFileName;
  listing.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  listing.created = LocalTimeOf(found.ftCreationTime);
  listing.written = LocalTimeOf(found.ftLastWriteTime);
  return listing;
}

int AddCatalogEntry(const WIN32_FIND_DATAA& found, const std::string& title, const std::string& author) {
  return AddEntry(found, title, author, ReadCompileRecord(found.cFileName));
}

int ScanQuoteFolder() {
  InsertColumns();
  const std::string folder = g_state->quote_folder;
  const std::optional<std::string> pattern = QuoteFilePath(folder, LoadTableString(IDS_QUOTE_PATTERN));
  MessageBoxReport report;
  // The entries are gathered first and inserted in title order at the end.
  std::vector<std::unique_ptr<CatalogEntry>> entries;
  if (pattern) {
    const CompileRecordIndex records = ReadCompileRecords();
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
      const std::optional<CatalogTexts> texts = ReadCatalogTexts(*path, &report);
      if (!texts) continue;
      const std::string name = found.cFileName;
      const std::string record = CompileRecordIndex::Covers(name) ? records.Find(name) : ReadCompileRecord(name);
      entries.push_back(
          std::make_unique<CatalogEntry>(MakeCatalogEntry(ListingOf(found), texts->title, texts->author, record)));
    }
  }
  if (!InsertCatalogRows(std::move(entries))) return 1;
  return RebuildImageList() ? 0 : 1;
}

}  // namespace vosko
