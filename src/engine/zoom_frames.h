// The rectangles of the About box's zoom animation, worked out without floating point so
// that every build draws the same frames.
#pragma once

namespace vosko {

struct ZoomRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const ZoomRect&, const ZoomRect&) = default;
};

constexpr int kZoomFrames = 10;

// Frame `frame` (0 to 9) on the way from `from` to `to`: each edge moves by the distance
// times frame/10, truncated toward zero exactly as a double-precision product would be
// (so 350 * 0.7 gives 244: the double nearest 0.7 lies just below it).
ZoomRect ZoomFrame(const ZoomRect& from, const ZoomRect& to, int frame);

// The rectangle pulled inside the screen (0, 0, width, height), so that an outline drawn
// from a window partly off the screen never draws outside it.
ZoomRect KeepOnScreen(const ZoomRect& rect, int width, int height);

}  // namespace vosko
