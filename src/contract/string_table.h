// The library's string table: every user-visible text, settings key, file name and
// generated line, by number. The texts come from strings.txt; the same file builds the
// DLL's STRINGTABLE, so the engine and the Windows side read the same texts.
#pragma once

#include <span>
#include <string_view>

namespace vosko {

struct TableEntry {
  unsigned id;
  std::string_view text;  // single-byte (Windows-1252) text, may hold line feeds
};

// The text of entry `id`; an empty view when the table has no such id. An entry whose
// text is empty also gives an empty view, as LoadString does on Windows (it returns 0
// for an empty entry and for a missing one alike).
std::string_view TableText(unsigned id);

// Every entry of the table, empty texts included, ids strictly ascending.
std::span<const TableEntry> AllTableTexts();

}  // namespace vosko
