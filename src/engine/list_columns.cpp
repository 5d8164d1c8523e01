#include "engine/list_columns.h"

#include <algorithm>

namespace vosko {

std::vector<int> ShownColumns(const ColumnValues& visible) {
  std::vector<int> shown;
  for (int column = 0; column < 8; ++column) {
    if (column == 0 || visible[column] == 1) shown.push_back(column);
  }
  return shown;
}

ColumnValues StoredPositions(const ColumnValues& visible) {
  ColumnValues positions{};
  int next = 0;
  for (int column : ShownColumns(visible)) positions[next++] = column;
  for (int column = 1; column < 8; ++column) {
    if (visible[column] != 1) positions[next++] = column;
  }
  return positions;
}

ColumnValues WidthsByColumn(const ColumnValues& stored, const ColumnValues& visible) {
  const ColumnValues positions = StoredPositions(visible);
  ColumnValues widths{};
  for (int position = 0; position < 8; ++position) widths[positions[position]] = stored[position];
  return widths;
}

ColumnValues WidthsByPosition(const ColumnValues& by_column, const ColumnValues& visible) {
  const ColumnValues positions = StoredPositions(visible);
  ColumnValues stored{};
  for (int position = 0; position < 8; ++position) stored[position] = by_column[positions[position]];
  return stored;
}

ColumnValues OrderByColumn(const ColumnValues& stored, const ColumnValues& visible) {
  const std::vector<int> shown = ShownColumns(visible);
  const int count = static_cast<int>(shown.size());
  std::array<bool, 8> used{};
  ColumnValues order{};
  int next = 0;
  for (int i = 0; i < count; ++i) {
    const int position = stored[i];
    if (position < 0 || position >= count || used[shown[position]]) continue;
    used[shown[position]] = true;
    order[next++] = shown[position];
  }
  for (int column : shown) {
    if (!used[column]) {
      used[column] = true;
      order[next++] = column;
    }
  }
  for (int column = 0; column < 8; ++column) {
    if (!used[column]) order[next++] = column;
  }
  return order;
}

std::vector<int> DisplayOrder(const ColumnValues& by_column, const ColumnValues& visible) {
  const std::vector<int> shown = ShownColumns(visible);
  auto position_of = [&](int column) -> int {
    auto found = std::find(shown.begin(), shown.end(), column);
    return found == shown.end() ? -1 : static_cast<int>(found - shown.begin());
  };
  std::array<bool, 8> used{};
  std::vector<int> order;
  for (int column : by_column) {
    if (column < 0 || column >= 8 || used[column]) continue;
    const int position = position_of(column);
    if (position < 0) continue;
    used[column] = true;
    order.push_back(position);
  }
  // Columns shown now that the order does not name yet go last, in their own order.
  for (int position = 0; position < static_cast<int>(shown.size()); ++position) {
    if (!used[shown[position]]) order.push_back(position);
  }
  return order;
}

ColumnValues OrderByPosition(const ColumnValues& by_column, const ColumnValues& visible) {
  ColumnValues stored{};
  for (int i = 0; i < 8; ++i) stored[i] = i;  // entries past the shown columns hold their own number
  const std::vector<int> order = DisplayOrder(by_column, visible);
  std::copy(order.begin(), order.end(), stored.begin());
  return stored;
}

std::optional<int> AppliedWidth(int stored_width) {
  if (stored_width >= 1 && stored_width <= 1000) return stored_width;
  return std::nullopt;
}

}  // namespace vosko
