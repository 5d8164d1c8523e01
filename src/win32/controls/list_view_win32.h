// The list view of quote files inside the main window: one row per catalog entry, four
// views, eight columns in Details view with their stored widths, order and visibility.
//
// Each row's item data is its CatalogEntry, which the list owns: it is released when its
// row is deleted. Columns can be hidden, so a cell is always found by its column number
// (ListColumnOf) and a field always read from the row's entry, never by a fixed position.
#pragma once

#include "win32/base/settings_store_win32.h"
#include "engine/catalog_entry.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vosko {

// Replaces any list view with a fresh one in the current view, scans the quote folder into
// it, lays the window out and shows it. False when the control could not be made or the
// scan failed.
bool BuildListView();
// Releases the image list, the rows with their entries and the control.
void DestroyListView();

// The eight columns, with their headings and alignments, as list columns 0 to 7.
void InsertColumns();
// Details view: fonts, widths, hidden columns removed, display order. Every view: shown.
void ApplyViewSettings();
// A fresh image list with one copy of the item icon per row and 100 spare. False when no
// image list could be made (none is attached then).
bool RebuildImageList();

// The main window's WM_NOTIFY, for notifications from the list view.
void ListNotify(const NMHDR* header);

// Before compile and export: with exactly one row selected asks `message_id` (OK/Cancel).
// True means stop: Cancel was pressed, or nothing is selected. Two or more rows go on.
bool AskSelection(UINT message_id);

int RowCount();
// The row both focused and selected, or -1 (Edit, Delete and Paste act on it).
int FocusedSelectedRow();
CatalogEntry* RowEntry(int row);
// A row's field by column number 0 to 7, from its entry; nothing for a row without one.
std::optional<std::string> RowField(int row, int column);
// The quote folder path of a row's file; nothing without an entry or when the path would
// not fit 259 characters.
std::optional<std::string> RowFilePath(int row);

// The list column that shows column `column`, or -1 when it is hidden.
int ListColumnOf(int column);
// Sets the cell of `column` in `row` when that column is shown (compile and rescan stamps).
void SetRowCell(int row, int column, const std::string& text);

// Inserts a row for `entry` (the list takes it) with the given image; its index, or -1.
int InsertCatalogRow(std::unique_ptr<CatalogEntry> entry, int image);
// Fills the list with the entries of a scan, given in directory order, in the order the
// sorting control would give them one by one, without paying for its sorted insertion.
// False when a row could not be inserted (the entries not yet in the list are released).
bool InsertCatalogRows(std::vector<std::unique_ptr<CatalogEntry>> entries);

// In Details view, what the closing routine stores: each column's width and the display
// order, by column number. False in the other views or without a list.
bool TakeDetailsColumns(DetailsColumns& columns);

}  // namespace vosko
