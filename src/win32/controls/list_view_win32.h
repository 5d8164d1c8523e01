// The list view of quote files inside the main window: one row per catalog entry, four
// views, eight columns in Details view with their stored widths, order and visibility.
//
// Each row's item data is its CatalogEntry, which the list owns: it is released when its
// row is deleted. Columns can be hidden, so a cell is always found by its column number
// (ListColumnOf) and a field always read from the row's entry, never by a fixed position.
#pragma once

#include "win32/base/settings_store_win32.h"
#include "engine/catalog_entry.h"
#include "engine/window_layout.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vosko {

// Replaces any list view with a fresh, empty one in the current view, hidden. False when the
// control could not be made. The main window fills it (BuildListView).
bool CreateListView();
// Releases the image list, the rows with their entries and the control.
void DestroyListView();

// The eight columns, with their headings and alignments, as list columns 0 to 7.
void InsertColumns();
// Details view: fonts, widths, hidden columns removed, display order. Every view: shown.
void ApplyViewSettings();
// A fresh image list with one copy of the item icon per row and 100 spare. False when no
// image list could be made (none is attached then).
bool RebuildImageList();
// Adds copies of the item icon to the image list for rows added since it was made (a list
// that fills in slices); made afresh when there is none. False when it could not grow.
bool ExtendImageList();

// The main window's WM_NOTIFY, for notifications from the list view: display texts and the
// release of a deleted row's entry. True for a double-click or Enter on the list, which the
// main window answers by opening the focused row's file.
bool ListNotify(const NMHDR* header);

// Gives the list the keyboard focus; without a list, no window has it.
void FocusListView();
// Moves the list to `rect` in the main window's client area (nothing without a list).
void MoveListView(const ControlRect& rect);

// Before compile and export: with exactly one row selected asks `message_id` (OK/Cancel).
// True means stop: Cancel was pressed, or nothing is selected. Two or more rows go on.
bool AskSelection(UINT message_id);

int RowCount();
// The row both focused and selected, or -1 (Edit, Delete and Paste act on it).
int FocusedSelectedRow();
// The selected rows, in list order: what Compile, Export and Send act on.
std::vector<int> SelectedRows();
// Makes `row` the one selected and focused row, scrolled into view.
void SelectOnlyRow(int row);
// Deletes `row`; the next row (or the new last row) becomes focused and selected, and is
// scrolled into view.
void RemoveRow(int row);
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

// Inserts a row for `entry` (the list takes it) with the given image, before row
// `row_before` or, when that is -1, where the control puts it; its index, or -1.
int InsertCatalogRow(std::unique_ptr<CatalogEntry> entry, int image, int row_before = -1);
// Adds the row of one file from its directory listing, with the given title and author and
// the file's compile record read from the settings file. The new row's index, or -1.
int AddCatalogEntry(const WIN32_FIND_DATAA& found, const std::string& title, const std::string& author);
// Adds the entries of a scan slice, given in directory order, to the list in the order the
// sorting control would give them one by one, without paying for its sorted insertion.
// False when a row could not be inserted (the entries not yet in the list are released).
bool InsertCatalogRows(std::vector<std::unique_ptr<CatalogEntry>> entries);

// In Details view, what the closing routine stores: each column's width and the display
// order, by column number. False in the other views or without a list.
bool TakeDetailsColumns(DetailsColumns& columns);

// The size of a row's quote file as the file system reports it (0 when it has none): what
// the Total bar of a compile or rescan measures against.
std::int64_t RowFileSize(int row);

// Stores a quote file's count: in the row's entry, its compile record in the settings file
// and its "# Quotes" cell. A compile (rescan false) also sets the compile time to now and
// shows it in the "Compile Date" cell; a rescan keeps the stored compile time. False when
// the compile record could not be written (the entry and the row have the stamp all the
// same).
bool StoreCompileStamp(int row, int count, bool rescan);
// Says once, at the end of a run, that stamps were not stored.
void ReportStampsLost();

}  // namespace vosko
