#include "engine/window_layout.h"

#include <algorithm>
#include <cstdint>

#include "contract/resource_ids.h"

namespace vosko {
namespace {

constexpr int kTop = 38;  // below the banner
constexpr int kGap = 10;  // between buttons, and between the buttons and the right edge
constexpr int kListLeft = 10;

// Details view: one column, top to bottom.
constexpr int kColumnOrder[12] = {IDC_PASTE, IDC_EDIT,   IDC_COMPILE, IDC_NEW,   IDC_DELETE,      IDC_RESCAN,
                                  IDC_SEND,  IDC_EXPORT, IDC_OPTIONS, IDC_ABOUT, IDC_HELP_BUTTON, IDC_EXIT};

// The other views: four rows of three, each row read from left to right.
constexpr int kRows[4][3] = {{IDC_PASTE, IDC_EDIT, IDC_COMPILE},
                             {IDC_NEW, IDC_DELETE, IDC_RESCAN},
                             {IDC_SEND, IDC_EXPORT, IDC_OPTIONS},
                             {IDC_ABOUT, IDC_HELP_BUTTON, IDC_EXIT}};

}  // namespace

MainLayout ComputeMainLayout(int width, int height, int button_width, int button_height, int status_height,
                             bool details_view) {
  MainLayout layout;
  const int x0 = width - button_width - kGap;
  const int step_x = button_width + kGap;
  const int step_y = button_height + kGap;
  int leftmost = x0;
  if (details_view) {
    for (int i = 0; i < 12; ++i) layout.buttons[i] = {kColumnOrder[i], x0, kTop + i * step_y};
  } else {
    int i = 0;
    for (int row = 0; row < 4; ++row) {
      for (int column = 0; column < 3; ++column) {
        layout.buttons[i++] = {kRows[row][column], x0 - (2 - column) * step_x, kTop + row * step_y};
      }
    }
    leftmost = x0 - 2 * step_x;
  }
  layout.list = {kListLeft, kTop, leftmost - 2 * kGap, height - 48 - status_height};
  layout.status_bar = {0, height - status_height - 2, width, status_height};
  return layout;
}

int SecondStatusEdge(int first_edge, int width) { return first_edge + (width - first_edge) / 2; }

std::array<int, 3> InitialStatusEdges(int client_width) {
  // Seven tenths, truncated, in integers: a floating-point 0.7 lies just below 0.7, and the
  // 32-bit build's x87 unit keeps the product's extra precision, so 760 would give 531
  // there and 532 in the 64-bit build.
  const int first = static_cast<int>(static_cast<std::int64_t>(client_width) * 7 / 10);
  return {first, first + 1, -1};
}

namespace {

// One axis of PlaceInView: the start of a span of `size` in [area_start, area_start +
// area_size). A start that keeps the caption in reach stays, even if part of the span lies
// outside (at most `out_before` of it before the area, at least `in_after` of it inside).
// Otherwise the span moves just far enough to lie wholly inside.
int KeepReachable(int start, int size, int area_start, int area_size, int out_before, int in_after) {
  if (area_size <= 0) return start;
  if (size >= area_size) return area_start;
  const std::int64_t area_end = static_cast<std::int64_t>(area_start) + area_size;
  if (start >= static_cast<std::int64_t>(area_start) - out_before && start <= area_end - in_after) return start;
  return static_cast<int>(std::clamp<std::int64_t>(start, area_start, area_end - size));
}

// A stored size of 0 or less keeps the host's own; a size over the area is cut to it, but
// never below the host window's smallest.
int FittedSize(int stored, int own, int area, int minimum) {
  const int size = stored > 0 ? stored : own;
  if (area <= 0 || size <= area) return size;
  return std::max(area, std::min(size, minimum));
}

}  // namespace

WindowBox PlaceInView(const WindowBox& stored, const WindowBox& own, const WindowBox& area, int caption_height) {
  WindowBox placed;
  placed.width = FittedSize(stored.width, own.width, area.width, kMinimumHostWidth);
  placed.height = FittedSize(stored.height, own.height, area.height, kMinimumHostHeight);
  const int caption_width = std::min(placed.width, kVisibleCaptionWidth);
  placed.x = KeepReachable(stored.x, placed.width, area.x, area.width, placed.width - caption_width, caption_width);
  placed.y = KeepReachable(stored.y, placed.height, area.y, area.height, 0, std::min(placed.height, caption_height));
  return placed;
}

}  // namespace vosko
