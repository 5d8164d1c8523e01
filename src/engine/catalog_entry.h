// The catalog: one entry per quote file in the quote folder, with the eight texts the list
// shows and the values later commands need. Portable: the Win32 face turns the directory
// listing into a FileListing, builds the entry here and inserts its row.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/text_format.h"

namespace vosko {

// Column numbers: the same numbers index an entry's texts, the stored column widths and the
// visible flags, and string IDS_COLUMN_FIRST + n is the heading of column n.
enum CatalogColumn {
  kColumnTitle = 0,
  kColumnAuthor = 1,
  kColumnSize = 2,
  kColumnQuoteCount = 3,
  kColumnFileDate = 4,
  kColumnCreationDate = 5,
  kColumnCompileDate = 6,
  kColumnFileName = 7,
};
inline constexpr int kCatalogColumns = 8;

// What the directory search gives for one quote file; the times already in local time.
struct FileListing {
  std::string name;  // bare file name, as listed
  std::uint64_t size = 0;
  CalendarTime created;
  CalendarTime written;
};

struct CatalogEntry {
  std::array<std::string, kCatalogColumns> texts;  // by column number
  std::int32_t quote_count = 0;                    // from the compile record; 0 without one
  CalendarTime compile_time;                       // from the compile record; all 0 without one

  const std::string& Text(int column) const { return texts[static_cast<std::size_t>(column)]; }
  const std::string& FileName() const { return texts[kColumnFileName]; }
};

// Title, author and file name are kept to 254 characters, as the list's text buffers held.
inline constexpr std::size_t kCatalogTextLimit = 254;

// The size column: kilobytes with one decimal in at most five characters and "k", or
// megabytes and "M" above 1024 KB ('.1k', '1.k', '1024k', '1.0M').
std::string CatalogSizeText(std::uint64_t bytes);

// Builds the entry of one file. `record` is the file's compile record as stored (empty when
// it has none): the quote count and compile date come from it.
CatalogEntry MakeCatalogEntry(const FileListing& listing, std::string_view title, std::string_view author,
                              std::string_view record);

// The compile date column of a compile time: empty when its day, month or year is 0, and
// also when a hand-edited record names a month that does not exist.
std::string CompileDateText(const CalendarTime& time);

// The quote folder, a backslash unless it already ends in one, and the file name; nothing
// when the whole would not fit a 260-byte path (259 characters and the terminator).
std::optional<std::string> QuoteFilePath(std::string_view folder, std::string_view name);

// The compile records of a whole "VoskoFiles" section, read once per scan and looked up in
// memory. Lookups give what a profile read of that one key gives: keys match without regard
// to ASCII case and surrounding blanks, the first of two equal keys wins, one pair of quotes
// around a value is removed, and values are cut to 254 characters.
class CompileRecordIndex {
 public:
  // `section` is what the profile's section read returns: "key=value" strings, each ended by
  // a NUL, the last followed by a second NUL.
  static CompileRecordIndex FromSection(std::string_view section);

  // The stored value of `file_name`, or empty. Names with bytes above 127 are not looked up
  // here (the profile compares them with rules of its own): `Covers` says so.
  std::string Find(std::string_view file_name) const;
  static bool Covers(std::string_view file_name);
  // False for a name the settings file cannot hold as a key: one with an "=" (the value would
  // start there), or whose first character past the blanks is ";" (a comment) or "[" (a
  // section). No record is stored under such a name.
  static bool Storable(std::string_view file_name);

  std::size_t size() const { return values_.size(); }

  // Enters one key as writing it to the profile stores it, replacing the value it had.
  void Set(std::string_view key, std::string_view value);
  // True when every key of `expected` is here with the same value: how a batch of writes
  // to the settings file proves that it stored its keys and lost no other.
  bool Holds(const CompileRecordIndex& expected) const;
  // True when `key` is here with exactly `value` (as a profile read gives it back).
  bool HasValue(std::string_view key, std::string_view value) const;
  // True when every key of `other` is here, whatever its value: a settings file that a batch
  // was writing when the process died kept every record when this holds of its copy.
  bool HoldsKeys(const CompileRecordIndex& other) const;

 private:
  std::unordered_map<std::string, std::string> values_;  // by lower-case key
};

}  // namespace vosko
