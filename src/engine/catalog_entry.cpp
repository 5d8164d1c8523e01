#include "engine/catalog_entry.h"

#include "engine/compile_record.h"

#include <cstdio>

namespace vosko {
namespace {

constexpr std::size_t kPathLimit = 259;  // a 260-byte path buffer with its terminator

std::string Cut(std::string_view text, std::size_t limit) { return std::string(text.substr(0, limit)); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// A profile read removes one pair of matching quotes around a value.
std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string CatalogSizeText(std::uint64_t bytes) {
  NumberFormat format;
  format.size = 6;
  format.decimals = 1;
  format.blank_zero = false;
  format.zero_pad = true;
  format.left_align = true;
  format.keep_zeros = true;
  const double kb = static_cast<double>(bytes) / 1024.0;
  const bool in_kilobytes = kb <= 1024.0;
  std::string text = FormatNumber(in_kilobytes ? kb : kb / 1024.0, format);
  TrimTrailingSpaces(text);
  return text + (in_kilobytes ? "k" : "M");
}

std::string CompileDateText(const CalendarTime& time) {
  if (time.month < 1 || time.month > 12) return {};
  return FileTimeText(time);
}

CatalogEntry MakeCatalogEntry(const FileListing& listing, std::string_view title, std::string_view author,
                              std::string_view record) {
  CatalogEntry entry;
  entry.texts[kColumnTitle] = Cut(title, kCatalogTextLimit);
  entry.texts[kColumnAuthor] = Cut(author, kCatalogTextLimit);
  entry.texts[kColumnFileName] = Cut(listing.name, kCatalogTextLimit);
  entry.texts[kColumnSize] = CatalogSizeText(listing.size);
  if (!record.empty()) {
    const CompileRecord parsed = ParseCompileRecord(record);
    entry.quote_count = parsed.count;
    entry.compile_time = parsed.time;
    // A count that is not a plain quote count ('-1', or digits past 32 bits) shows nothing.
    if (!parsed.count_out_of_range) entry.texts[kColumnQuoteCount] = std::to_string(parsed.count);
    entry.texts[kColumnCompileDate] = CompileDateText(parsed.time);
  }
  entry.texts[kColumnFileDate] = FileTimeText(listing.written);
  entry.texts[kColumnCreationDate] = FileTimeText(listing.created);
  return entry;
}

std::optional<std::string> QuoteFilePath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  path += name;
  if (path.size() > kPathLimit) return std::nullopt;
  return path;
}

CompileRecordIndex CompileRecordIndex::FromSection(std::string_view section) {
  CompileRecordIndex index;
  while (!section.empty() && section.front() != '\0') {
    const std::size_t end = section.find('\0');
    const std::string_view line = section.substr(0, end);
    section.remove_prefix(end == std::string_view::npos ? section.size() : end + 1);
    const std::size_t equals = line.find('=');
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(equals + 1));
    if (key.empty()) continue;
    // emplace keeps the first of two equal keys, as a profile read finds the first.
    index.values_.emplace(AsciiLower(key), Cut(WithoutQuotes(value), kCatalogTextLimit));
  }
  return index;
}

void CompileRecordIndex::Set(std::string_view key, std::string_view value) {
  values_.insert_or_assign(AsciiLower(TrimBlanks(key)), Cut(WithoutQuotes(TrimBlanks(value)), kCatalogTextLimit));
}

bool CompileRecordIndex::Holds(const CompileRecordIndex& expected) const {
  for (const auto& [key, value] : expected.values_) {
    const auto found = values_.find(key);
    if (found == values_.end() || found->second != value) return false;
  }
  return true;
}

bool CompileRecordIndex::HasValue(std::string_view key, std::string_view value) const {
  const auto found = values_.find(AsciiLower(TrimBlanks(key)));
  return found != values_.end() && found->second == value;
}

bool CompileRecordIndex::HoldsKeys(const CompileRecordIndex& other) const {
  for (const auto& entry : other.values_) {
    if (!values_.contains(entry.first)) return false;
  }
  return true;
}

bool CompileRecordIndex::Covers(std::string_view file_name) {
  for (char c : file_name) {
    if (static_cast<unsigned char>(c) > 127) return false;
  }
  return true;
}

bool CompileRecordIndex::Storable(std::string_view file_name) {
  const std::string_view key = TrimBlanks(file_name);
  if (file_name.find('=') != std::string_view::npos) return false;
  return key.empty() || (key.front() != ';' && key.front() != '[');
}

std::string CompileRecordIndex::Find(std::string_view file_name) const {
  auto found = values_.find(AsciiLower(TrimBlanks(file_name)));
  return found == values_.end() ? std::string() : found->second;
}

}  // namespace vosko
