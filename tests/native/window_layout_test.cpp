#include "engine/window_layout.h"

#include "contract/resource_ids.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace vosko {
namespace {

std::map<int, std::pair<int, int>> ByButton(const MainLayout& layout) {
  std::map<int, std::pair<int, int>> places;
  for (const ButtonPlace& b : layout.buttons) places[b.id] = {b.x, b.y};
  return places;
}

TEST(WindowLayout, IconViewsKeepFourRowsOfThree) {
  // Buttons 75 by 25, a client area of 760 by 500, a status bar 20 high.
  const MainLayout layout = ComputeMainLayout(760, 500, 75, 25, 20, false);
  const auto places = ByButton(layout);
  ASSERT_EQ(places.size(), 12u);
  const struct {
    int id, x, y;
  } expected[] = {
      {IDC_PASTE, 505, 38},    {IDC_EDIT, 590, 38},   {IDC_COMPILE, 675, 38},      {IDC_NEW, 505, 73},
      {IDC_DELETE, 590, 73},   {IDC_RESCAN, 675, 73}, {IDC_SEND, 505, 108},        {IDC_EXPORT, 590, 108},
      {IDC_OPTIONS, 675, 108}, {IDC_ABOUT, 505, 143}, {IDC_HELP_BUTTON, 590, 143}, {IDC_EXIT, 675, 143},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(places.at(e.id), std::make_pair(e.x, e.y)) << e.id;
  }
  EXPECT_EQ(layout.list, (ControlRect{10, 38, 485, 432}));
  EXPECT_EQ(layout.status_bar, (ControlRect{0, 478, 760, 20}));
}

TEST(WindowLayout, DetailsViewStacksOneColumn) {
  const MainLayout layout = ComputeMainLayout(760, 500, 75, 25, 20, true);
  const int order[] = {IDC_PASTE, IDC_EDIT,   IDC_COMPILE, IDC_NEW,   IDC_DELETE,      IDC_RESCAN,
                       IDC_SEND,  IDC_EXPORT, IDC_OPTIONS, IDC_ABOUT, IDC_HELP_BUTTON, IDC_EXIT};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(layout.buttons[i].id, order[i]);
    EXPECT_EQ(layout.buttons[i].x, 675);
    EXPECT_EQ(layout.buttons[i].y, 38 + i * 35);
  }
  EXPECT_EQ(layout.list, (ControlRect{10, 38, 655, 432}));
}

TEST(WindowLayout, StatusBarEdges) {
  EXPECT_EQ(SecondStatusEdge(532, 760), 646);
  EXPECT_EQ(SecondStatusEdge(532, 761), 646);  // halves round toward zero
  EXPECT_EQ(InitialStatusEdges(760), (std::array<int, 3>{532, 533, -1}));
  EXPECT_EQ(InitialStatusEdges(761), (std::array<int, 3>{532, 533, -1}));  // 532.7 truncated
  EXPECT_EQ(InitialStatusEdges(0), (std::array<int, 3>{0, 1, -1}));
}

TEST(WindowLayout, StoredPlacementIsBroughtIntoReach) {
  const WindowBox own{0, 0, 780, 520};
  const WindowBox area{0, 0, 1000, 700};
  const int caption = 25;
  const struct {
    const char* what;
    WindowBox stored, area, placed;
  } cases[] = {
      {"inside", {100, 40, 800, 600}, area, {100, 40, 800, 600}},
      {"partly outside, caption in reach", {600, 600, 800, 600}, area, {600, 600, 800, 600}},
      {"mostly left of the area", {-650, 40, 800, 600}, area, {-650, 40, 800, 600}},
      {"wholly left", {-900, 40, 800, 600}, area, {0, 40, 800, 600}},
      {"wholly right", {1200, 40, 800, 600}, area, {200, 40, 800, 600}},
      {"wholly above", {100, -700, 800, 600}, area, {100, 0, 800, 600}},
      {"wholly below", {100, 900, 800, 600}, area, {100, 100, 800, 600}},
      {"caption just above", {100, -10, 800, 600}, area, {100, 0, 800, 600}},
      {"hand-edited", {-500, -500, 9999, 9999}, area, {0, 0, 1000, 700}},
      {"too wide", {100, 40, 1500, 600}, area, {0, 40, 1000, 600}},
      {"negative size", {100, 40, -300, -5}, area, {100, 40, 780, 520}},
      {"parent below the minimum", {50, 50, 800, 600}, {0, 0, 400, 150}, {0, 0, 500, 200}},
      {"minimised parent", {-500, -500, 9999, 9999}, {0, 0, 0, 0}, {-500, -500, 9999, 9999}},
      {"screens left of the first", {-3000, 100, 800, 600}, {-1280, 0, 3200, 1080}, {-1280, 100, 800, 600}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceInView(c.stored, own, c.area, caption), c.placed) << c.what;
  }
}

}  // namespace
}  // namespace vosko
