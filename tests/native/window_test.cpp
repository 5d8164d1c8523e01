// The main window's layout, its stored placement, and the zoom frames of the About box.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <map>
#include <utility>

#include "contract/resource_ids.h"
#include "engine/window_layout.h"
#include "engine/zoom_frames.h"

namespace vosko {
namespace {

TEST(WindowLayout, IconViewsKeepFourRowsOfThreeAndDetailsOneColumn) {
  // Buttons 75 by 25, a client area of 760 by 500, a status bar 20 high.
  const int order[] = {IDC_PASTE, IDC_EDIT,   IDC_COMPILE, IDC_NEW,   IDC_DELETE,      IDC_RESCAN,
                       IDC_SEND,  IDC_EXPORT, IDC_OPTIONS, IDC_ABOUT, IDC_HELP_BUTTON, IDC_EXIT};
  for (const bool details : {false, true}) {
    const MainLayout layout = ComputeMainLayout(760, 500, 75, 25, 20, details);
    ASSERT_EQ(layout.buttons.size(), 12u);
    std::map<int, std::pair<int, int>> places;
    for (const ButtonPlace& b : layout.buttons) places[b.id] = {b.x, b.y};
    for (int i = 0; i < 12; ++i) {
      const std::pair<int, int> place =
          details ? std::pair{675, 38 + i * 35} : std::pair{505 + i % 3 * 85, 38 + i / 3 * 35};
      EXPECT_EQ(places[order[i]], place) << details << " " << i;
    }
    EXPECT_EQ(layout.list, (ControlRect{10, 38, details ? 655 : 485, 432}));
    EXPECT_EQ(layout.status_bar, (ControlRect{0, 478, 760, 20}));
  }
  EXPECT_EQ(SecondStatusEdge(532, 761), 646);                              // halves round toward zero
  EXPECT_EQ(InitialStatusEdges(761), (std::array<int, 3>{532, 533, -1}));  // 532.7 truncated
  EXPECT_EQ(InitialStatusEdges(0), (std::array<int, 3>{0, 1, -1}));
}

TEST(WindowLayout, StoredPlacementIsBroughtIntoReach) {
  const WindowBox own{0, 0, 780, 520}, area{0, 0, 1000, 700};
  const struct {
    const char* what;
    WindowBox stored, area, placed;
  } cases[] = {
      {"inside", {100, 40, 800, 600}, area, {100, 40, 800, 600}},
      {"partly outside, caption in reach", {600, 600, 800, 600}, area, {600, 600, 800, 600}},
      {"mostly left of the area", {-650, 40, 800, 600}, area, {-650, 40, 800, 600}},
      {"wholly left", {-900, 40, 800, 600}, area, {0, 40, 800, 600}},
      {"wholly right", {1200, 40, 800, 600}, area, {200, 40, 800, 600}},
      {"wholly below", {100, 900, 800, 600}, area, {100, 100, 800, 600}},
      {"caption just above", {100, -10, 800, 600}, area, {100, 0, 800, 600}},
      {"hand-edited", {-500, -500, 9999, 9999}, area, {0, 0, 1000, 700}},
      {"negative size", {100, 40, -300, -5}, area, {100, 40, 780, 520}},
      {"parent below the minimum", {50, 50, 800, 600}, {0, 0, 400, 150}, {0, 0, 500, 200}},
      {"minimised parent", {-500, -500, 9999, 9999}, {0, 0, 0, 0}, {-500, -500, 9999, 9999}},
      {"screens left of the first", {-3000, 100, 800, 600}, {-1280, 0, 3200, 1080}, {-1280, 100, 800, 600}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlaceInView(c.stored, own, c.area, 25), c.placed) << c.what;
}

TEST(ZoomFrames, TheExampleZoomAndTheScreensEdges) {
  const ZoomRect from{0, 0, 100, 50}, to{200, 100, 700, 400};
  EXPECT_EQ(ZoomFrame(from, to, 0), from);
  EXPECT_EQ(ZoomFrame(from, to, 1), (ZoomRect{20, 10, 160, 85}));
  EXPECT_EQ(ZoomFrame(from, to, 7), (ZoomRect{140, 70, 520, 294}));  // 350 * 0.7 in double is just below 245
  EXPECT_EQ(KeepOnScreen({-30, -5, 2000, 900}, 1024, 768), (ZoomRect{0, 0, 1023, 767}));
  EXPECT_EQ(KeepOnScreen({10, 20, 30, 40}, 1024, 768), (ZoomRect{10, 20, 30, 40}));
}

// The integer rule against the double-precision product it stands for.
TEST(ZoomFrames, MatchesDoublePrecisionEverywhere) {
  // Only where the hardware computes in plain doubles: the 32-bit build's x87 unit rounds
  // twice (or not at all), which is exactly why the frames are computed in integers.
  if (FLT_EVAL_METHOD != 0) GTEST_SKIP() << "x87 arithmetic is not double arithmetic";
  for (int frame = 0; frame < kZoomFrames; ++frame) {
    const volatile double t = frame / 10.0;
    for (int distance = -70000; distance <= 70000; ++distance) {
      ASSERT_EQ(ZoomFrame({0, 0, 0, 0}, {distance, 0, 0, 0}, frame).left, static_cast<int>(std::trunc(distance * t)))
          << distance << " at frame " << frame;
    }
  }
}

}  // namespace
}  // namespace vosko
