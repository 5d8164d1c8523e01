// The columns of the Details view: which are shown, how wide, in which order, and how those
// are kept in the settings file.
//
// The settings keep widths by the position of a column in the list as it stood at close
// (hidden columns removed, so with Author hidden position 1 is Size) and the order as the
// list's order array over those positions. While the window is open the state record keeps
// both by column number instead, so that changing which columns are shown moves no width
// to another column. The conversions below are exact inverses for one set of visible
// columns: what the user saw at close is what the next start shows.
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace vosko {

using ColumnValues = std::array<int, 8>;

// Column numbers shown in Details view, ascending. Only a flag of exactly 1 shows a column;
// the Title column is always shown, since the list keeps its first column whatever a
// hand-edited file says.
std::vector<int> ShownColumns(const ColumnValues& visible);

// Position in the stored form -> column number: the shown columns first, then the hidden
// ones, each ascending.
ColumnValues StoredPositions(const ColumnValues& visible);

ColumnValues WidthsByColumn(const ColumnValues& stored, const ColumnValues& visible);
ColumnValues WidthsByPosition(const ColumnValues& by_column, const ColumnValues& visible);

// An order by column number always holds every column once: the shown columns in display
// order, then the hidden ones. Entries of a stored order that are out of range or repeated
// are passed over, and shown columns it does not name follow in their own order.
ColumnValues OrderByColumn(const ColumnValues& stored, const ColumnValues& visible);
ColumnValues OrderByPosition(const ColumnValues& by_column, const ColumnValues& visible);

// The list's order array for the shown columns (list column k shows ShownColumns()[k]).
std::vector<int> DisplayOrder(const ColumnValues& by_column, const ColumnValues& visible);

// The width a column is given: the stored width from 1 to 1000 pixels, otherwise nothing,
// which sizes the column to its heading.
std::optional<int> AppliedWidth(int stored_width);

}  // namespace vosko
