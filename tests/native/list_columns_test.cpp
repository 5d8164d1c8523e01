#include "engine/list_columns.h"

#include <gtest/gtest.h>

namespace vosko {
namespace {

constexpr ColumnValues kAllShown = {1, 1, 1, 1, 1, 1, 1, 1};
constexpr ColumnValues kAuthorHidden = {1, 0, 1, 1, 1, 1, 1, 1};
constexpr ColumnValues kNatural = {0, 1, 2, 3, 4, 5, 6, 7};

TEST(ListColumns, ShownColumnsKeepTheTitleAndTakeOnlyOne) {
  EXPECT_EQ(ShownColumns(kAllShown), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(ShownColumns(kAuthorHidden), (std::vector<int>{0, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(ShownColumns({0, 2, -1, 1, 0, 0, 0, 1}), (std::vector<int>{0, 3, 7}));
}

TEST(ListColumns, AllShownStoresEverythingAsItIs) {
  const ColumnValues widths = {150, 0, 1001, 80, 20, 20, 20, -5};
  const ColumnValues order = {7, 0, 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(WidthsByColumn(widths, kAllShown), widths);
  EXPECT_EQ(WidthsByPosition(widths, kAllShown), widths);
  EXPECT_EQ(OrderByColumn(order, kAllShown), order);
  EXPECT_EQ(OrderByPosition(order, kAllShown), order);
}

TEST(ListColumns, HiddenColumnsShiftPositionsButNotWidths) {
  // Closed with Author hidden: position 1 held Size (90), the last position nothing.
  const ColumnValues stored = {150, 90, 60, 100, 100, 100, 70, 0};
  const ColumnValues by_column = WidthsByColumn(stored, kAuthorHidden);
  EXPECT_EQ(by_column, (ColumnValues{150, 0, 90, 60, 100, 100, 100, 70}));
  EXPECT_EQ(WidthsByPosition(by_column, kAuthorHidden), stored);

  // Showing Author again keeps every other column's width.
  EXPECT_EQ(WidthsByPosition(by_column, kAllShown), by_column);
}

TEST(ListColumns, OrdersRoundTripForOneSetOfColumns) {
  const struct {
    ColumnValues visible, stored, by_column;
  } cases[] = {
      // Filename dragged to the front with Author hidden: list column 6 shows Filename.
      {kAuthorHidden, {6, 0, 1, 2, 3, 4, 5, 7}, {7, 0, 2, 3, 4, 5, 6, 1}},
      {kAuthorHidden, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 2, 3, 4, 5, 6, 7, 1}},
      {{1, 0, 0, 1, 0, 0, 0, 1}, {2, 1, 0, 3, 4, 5, 6, 7}, {7, 3, 0, 1, 2, 4, 5, 6}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OrderByColumn(c.stored, c.visible), c.by_column);
    EXPECT_EQ(OrderByPosition(c.by_column, c.visible), c.stored);
  }
}

TEST(ListColumns, BrokenStoredOrdersFallBackToTheColumnsOwnOrder) {
  // A key present with an empty value leaves every entry 0; hand edits repeat or overrun.
  EXPECT_EQ(OrderByColumn({0, 0, 0, 0, 0, 0, 0, 0}, kAllShown), kNatural);
  EXPECT_EQ(OrderByColumn({3, 3, 99, -1, 1, 2, 0, 4}, kAllShown), (ColumnValues{3, 1, 2, 0, 4, 5, 6, 7}));
  // Position 7 does not exist with seven columns shown.
  EXPECT_EQ(OrderByColumn({7, 0, 1, 2, 3, 4, 5, 6}, kAuthorHidden), (ColumnValues{0, 2, 3, 4, 5, 6, 7, 1}));
}

TEST(ListColumns, DisplayOrderFollowsTheShownColumns) {
  const ColumnValues by_column = {7, 0, 2, 3, 4, 5, 6, 1};
  EXPECT_EQ(DisplayOrder(by_column, kAuthorHidden), (std::vector<int>{6, 0, 1, 2, 3, 4, 5}));
  // Author shown again after the order was taken without it: it goes last.
  EXPECT_EQ(DisplayOrder({7, 0, 2, 3, 4, 5, 6, 1}, kAllShown), (std::vector<int>{7, 0, 2, 3, 4, 5, 6, 1}));
  EXPECT_EQ(DisplayOrder({7, 0, 2, 3, 4, 5, 6, 1}, {1, 0, 0, 0, 0, 0, 0, 1}), (std::vector<int>{1, 0}));
}

TEST(ListColumns, WidthsFromOneToAThousandAreKept) {
  const struct {
    int stored;
    std::optional<int> applied;
  } cases[] = {{0, std::nullopt}, {1, 1}, {80, 80}, {1000, 1000}, {1001, std::nullopt}, {-5, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(AppliedWidth(c.stored), c.applied) << c.stored;
}

}  // namespace
}  // namespace vosko
