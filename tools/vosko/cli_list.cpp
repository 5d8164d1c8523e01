// vosko list: the catalog's eight columns for every quote file of a folder.
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cli.h"
#include "cli_progress.h"
#include "cli_support.h"
#include "engine/catalog_entry.h"
#include "engine/quote_format.h"
#include "engine/text_file.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

namespace vosko::cli {
namespace {

CalendarTime LocalCalendarTime(std::time_t seconds) {
  CalendarTime time;
  std::tm parts{};
#ifdef _WIN32
  if (localtime_s(&parts, &seconds) != 0) return time;
#else
  if (localtime_r(&seconds, &parts) == nullptr) return time;
#endif
  time.year = static_cast<std::uint16_t>(parts.tm_year + 1900);
  time.month = static_cast<std::uint16_t>(parts.tm_mon + 1);
  time.day_of_week = static_cast<std::uint16_t>(parts.tm_wday);
  time.day = static_cast<std::uint16_t>(parts.tm_mday);
  time.hour = static_cast<std::uint16_t>(parts.tm_hour);
  time.minute = static_cast<std::uint16_t>(parts.tm_min);
  time.second = static_cast<std::uint16_t>(parts.tm_sec);
  return time;
}

// Size and times as the directory search gives them.  The C runtime's stat gives the creation
// time on Windows; elsewhere, where files keep none, the time of the last status change.
FileListing ListingOf(const std::string& path) {
  FileListing listing;
  listing.name = std::filesystem::path(path).filename().string();
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    listing.size = static_cast<std::uint64_t>(info.st_size);
    listing.created = LocalCalendarTime(info.st_ctime);
    listing.written = LocalCalendarTime(info.st_mtime);
  }
  return listing;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The "key=value" lines of one section of a profile file, in the form the profile's section
// read returns (each ended by a NUL, a second NUL at the end).  Nothing when the file cannot
// be read.
std::optional<std::string> ProfileSection(const std::string& path, std::string_view section) {
  TextFile file;
  if (!file.Open(path, "rt")) return std::nullopt;
  std::string result;
  std::string line;
  bool inside = false;
  for (std::string_view piece; !(piece = file.ReadPiece(4096)).empty();) {
    line += piece;
    if (line.back() != '\n' && piece.size() == 4095) continue;  // a longer line goes on
    std::string_view text = TrimSpaces(WithoutLineEnd(line));
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (!text.empty() && text.front() == '[') {
      const std::size_t close = text.find(']');
      inside = close != std::string_view::npos && SameName(TrimSpaces(text.substr(1, close - 1)), section);
    } else if (inside && text.find('=') != std::string_view::npos && text.front() != ';') {
      result.append(text);
      result.push_back('\0');
    }
    line.clear();
  }
  result.push_back('\0');
  return result;
}

// Windows-1252 bytes 0x80 to 0x9F as code points (0 where the code page has no character).
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// A JSON string of single-byte text: quote files are Windows-1252, JSON is Unicode.
std::string JsonString(std::string_view text) {
  std::string result = "\"";
  for (unsigned char c : text) {
    unsigned code = c;
    if (c >= 0x80 && c <= 0x9F) code = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD;
    if (c == '"' || c == '\\') {
      result += '\\';
      result += static_cast<char>(c);
    } else if (code < 0x20 || code >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
      result += escaped;
    } else {
      result += static_cast<char>(c);
    }
  }
  return result + "\"";
}

// Tabs and line ends would break a row of tab-separated values.
std::string TsvField(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

constexpr const char* kJsonKeys[kCatalogColumns] = {"title",    "author",       "size",        "quotes",
                                                    "fileDate", "creationDate", "compileDate", "fileName"};

void PrintTable(const std::vector<CatalogEntry>& entries, std::ostream& out) {
  std::size_t widths[kCatalogColumns] = {};
  for (int column = 0; column < kCatalogColumns; ++column) {
    widths[column] = TableText(IDS_COLUMN_FIRST + column).size();
    for (const CatalogEntry& entry : entries) widths[column] = std::max(widths[column], entry.Text(column).size());
  }
  auto row = [&](auto text) {
    std::string line;
    for (int column = 0; column < kCatalogColumns; ++column) {
      const std::string cell = TsvField(std::string(text(column)));
      line += cell;
      if (column + 1 < kCatalogColumns) line += std::string(widths[column] - cell.size() + 2, ' ');
    }
    out << std::string(WithoutTrailingSpaces(line)) << '\n';
  };
  row([](int column) { return TableText(IDS_COLUMN_FIRST + column); });
  for (const CatalogEntry& entry : entries) row([&](int column) { return entry.Text(column); });
}

}  // namespace

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress) {
  const std::optional<CommandLine> line = ScanCommandLine(args, "list", {"--format", "--settings", "--codepage"}, err);
  if (!line) return kExitUsage;
  const std::optional<const CodePage*> page = CodePageOption(*line, err);
  if (!page) return kExitUsage;
  if (line->words.size() > 1) {
    Complain(err, IDS_CLI_UNKNOWN_OPTION, {line->words[1], "list"});
    return kExitUsage;
  }
  const std::string format = line->Option("--format").value_or("table");
  if (format != "table" && format != "tsv" && format != "json") {
    Complain(err, IDS_CLI_UNKNOWN_FORMAT, {format});
    return kExitUsage;
  }
  CompileRecordIndex records;
  if (const std::optional<std::string> settings = line->Option("--settings")) {
    const std::optional<std::string> section = ProfileSection(*settings, TableText(IDS_FILES_SECTION));
    if (!section) {
      Complain(err, IDS_CLI_SETTINGS_UNREADABLE, {*settings});
      return kExitFileError;
    }
    records = CompileRecordIndex::FromSection(*section);
  }
  const std::string folder = line->words.empty() ? "." : line->words[0];
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    Complain(err, std::filesystem::exists(folder, error) ? IDS_CLI_NOT_A_FOLDER : IDS_CLI_NO_SUCH_FILE, {folder});
    return kExitFileError;
  }
  const std::optional<std::vector<std::string>> files = QuoteFilesIn(folder);
  if (!files) {
    Complain(err, IDS_CLI_UNREADABLE, {folder});
    return kExitFileError;
  }
  ConsoleReport report(err);
  std::vector<CatalogEntry> entries;
  bool unreadable = false;
  TerminalProgress progress(err, showProgress);
  for (const std::string& file : *files) {
    progress.Files(entries.size(), files->size());
    report.At(file);
    // As in the extension's list, a file that cannot be read is reported and left out.
    const std::optional<CatalogTexts> texts = ReadCatalogTexts(file, &report, *page);
    if (!texts) {
      unreadable = true;
      continue;
    }
    const FileListing listing = ListingOf(file);
    entries.push_back(MakeCatalogEntry(listing, texts->title, texts->author, records.Find(listing.name)));
  }
  progress.Done();
  // The extension's list opens in title order.
  std::stable_sort(entries.begin(), entries.end(), [](const CatalogEntry& a, const CatalogEntry& b) {
    return a.Text(kColumnTitle) < b.Text(kColumnTitle);
  });
  if (format == "table") {
    PrintTable(entries, out);
  } else if (format == "tsv") {
    for (int column = 0; column < kCatalogColumns; ++column) {
      out << TableText(IDS_COLUMN_FIRST + column) << (column + 1 < kCatalogColumns ? '\t' : '\n');
    }
    for (const CatalogEntry& entry : entries) {
      for (int column = 0; column < kCatalogColumns; ++column) {
        out << TsvField(entry.Text(column)) << (column + 1 < kCatalogColumns ? '\t' : '\n');
      }
    }
  } else {
    out << '[';
    for (std::size_t i = 0; i < entries.size(); ++i) {
      out << (i ? ",\n " : "\n ") << '{';
      for (int column = 0; column < kCatalogColumns; ++column) {
        out << (column ? ", " : "") << '"' << kJsonKeys[column] << "\": " << JsonString(entries[i].Text(column));
      }
      out << '}';
    }
    out << (entries.empty() ? "]\n" : "\n]\n");
  }
  return unreadable ? kExitFileError : kExitOk;
}

}  // namespace vosko::cli
