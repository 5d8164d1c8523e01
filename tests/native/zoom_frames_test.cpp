#include "engine/zoom_frames.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace vosko {
namespace {

TEST(ZoomFrames, TheExampleZoom) {
  const ZoomRect from{0, 0, 100, 50};
  const ZoomRect to{200, 100, 700, 400};
  const struct {
    int frame;
    ZoomRect rect;
  } cases[] = {
      {0, from},
      {1, {20, 10, 160, 85}},
      {7, {140, 70, 520, 294}},  // 350 * 0.7 in double is just below 245
      {9, {180, 90, 640, 365}},
  };
  for (const auto& c : cases) EXPECT_EQ(ZoomFrame(from, to, c.frame), c.rect) << c.frame;
  for (int frame = 0; frame < kZoomFrames; ++frame) EXPECT_EQ(ZoomFrame(to, to, frame), to);
}

// The integer rule against the double-precision product it stands for.
TEST(ZoomFrames, MatchesDoublePrecisionEverywhere) {
  // Only where the hardware computes in plain doubles: the 32-bit build's x87 unit rounds
  // twice (or not at all), which is exactly why the frames are computed in integers.
  if (FLT_EVAL_METHOD != 0) GTEST_SKIP() << "x87 arithmetic is not double arithmetic";
  for (int frame = 0; frame < kZoomFrames; ++frame) {
    const volatile double t = frame / 10.0;
    for (int distance = -70000; distance <= 70000; ++distance) {
      const int expected = static_cast<int>(std::trunc(distance * t));
      ASSERT_EQ(ZoomFrame({0, 0, 0, 0}, {distance, 0, 0, 0}, frame).left, expected)
          << distance << " at frame " << frame;
    }
  }
}

TEST(ZoomFrames, KeepOnScreen) {
  EXPECT_EQ(KeepOnScreen({-30, -5, 2000, 900}, 1024, 768), (ZoomRect{0, 0, 1023, 767}));
  EXPECT_EQ(KeepOnScreen({10, 20, 30, 40}, 1024, 768), (ZoomRect{10, 20, 30, 40}));
}

}  // namespace
}  // namespace vosko
