#include "engine/zoom_frames.h"

#include <algorithm>
#include <cstdint>

namespace vosko {
namespace {

// The double nearest frame/10 is M / 2^shift with a 53-bit M; `residue` is
// frame * 2^shift - 10 * M, the sign and size of its error (positive: below frame/10).
struct Fraction {
  int shift;
  int residue;
};
constexpr Fraction kFractions[kZoomFrames] = {{0, 0},  {56, -4}, {55, -4}, {54, 2},  {54, -4},
                                              {53, 0}, {53, 2},  {53, 4},  {53, -4}, {53, -2}};

// trunc(distance * double(frame / 10)), with the product rounded to double as well.
int64_t MovedBy(int64_t distance, int frame) {
  const int64_t size = distance < 0 ? -distance : distance;
  const int64_t whole = size * frame / 10;
  int64_t moved = whole;
  const Fraction& f = kFractions[frame];
  // Off a whole number the error is far too small to cross one; on a whole number a
  // fraction just below frame/10 lands just below it, unless rounding the product to
  // double brings it back up.
  if (size * frame % 10 == 0 && whole > 0 && f.residue > 0) {
    int exponent = 0;  // 2^exponent <= whole < 2^(exponent+1)
    while ((whole >> (exponent + 1)) != 0) ++exponent;
    const bool power_of_two = whole == (int64_t{1} << exponent);
    // Rounds back up when size * residue / (10 * 2^shift) is at most half the gap of
    // doubles below `whole`; both sides doubled to stay whole.
    const int gap_exponent = f.shift + exponent - (power_of_two ? 53 : 52);
    const bool rounds_back = gap_exponent >= 40 || 2 * size * f.residue <= 10 * (int64_t{1} << gap_exponent);
    if (!rounds_back) moved = whole - 1;
  }
  return distance < 0 ? -moved : moved;
}

int Edge(int from, int to, int frame) {
  return static_cast<int>(from + MovedBy(static_cast<int64_t>(to) - from, frame));
}

}  // namespace

ZoomRect ZoomFrame(const ZoomRect& from, const ZoomRect& to, int frame) {
  frame = std::clamp(frame, 0, kZoomFrames - 1);
  return {Edge(from.left, to.left, frame), Edge(from.top, to.top, frame), Edge(from.right, to.right, frame),
          Edge(from.bottom, to.bottom, frame)};
}

ZoomRect KeepOnScreen(const ZoomRect& rect, int width, int height) {
  // The pen is 2 pixels wide, centred on the outline: one pixel in keeps it all visible.
  const int max_x = std::max(width - 1, 0);
  const int max_y = std::max(height - 1, 0);
  return {std::clamp(rect.left, 0, max_x), std::clamp(rect.top, 0, max_y), std::clamp(rect.right, 0, max_x),
          std::clamp(rect.bottom, 0, max_y)};
}

}  // namespace vosko
