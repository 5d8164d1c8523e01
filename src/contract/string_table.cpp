#include "contract/string_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

namespace vosko {
namespace {

struct RawEntry {
  unsigned id;
  const char* text;
  std::size_t size;
};

// Generated from strings.txt by gen_strings.py into the build tree.
constexpr RawEntry kRawEntries[] = {
#include "string_table_data.inc"
};

constexpr std::size_t kEntryCount = std::size(kRawEntries);

constexpr std::array<TableEntry, kEntryCount> MakeEntries() {
  std::array<TableEntry, kEntryCount> entries{};
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    entries[i] = {kRawEntries[i].id, std::string_view(kRawEntries[i].text, kRawEntries[i].size)};
  }
  return entries;
}

constexpr std::array<TableEntry, kEntryCount> kEntries = MakeEntries();

// The lookup below is a binary search: it needs strictly ascending ids.
constexpr bool IdsAscend() {
  for (std::size_t i = 1; i < kEntryCount; ++i) {
    if (kEntries[i - 1].id >= kEntries[i].id) return false;
  }
  return true;
}
static_assert(IdsAscend(), "string table ids must be strictly ascending");

// Texts hold no NUL byte, so each literal's length must be the recorded length; a
// mismatch means the literal was escaped wrongly.
constexpr bool LengthsMatch() {
  for (const RawEntry& raw : kRawEntries) {
    if (std::char_traits<char>::length(raw.text) != raw.size) return false;
  }
  return true;
}
static_assert(LengthsMatch(), "string table literal and length disagree");

}  // namespace

std::string_view TableText(unsigned id) {
  const auto it = std::lower_bound(kEntries.begin(), kEntries.end(), id,
                                   [](const TableEntry& entry, unsigned key) { return entry.id < key; });
  if (it == kEntries.end() || it->id != id) return {};
  return it->text;
}

std::span<const TableEntry> AllTableTexts() { return kEntries; }

}  // namespace vosko
