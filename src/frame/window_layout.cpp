#include "frame/window_layout.h"

#include <cstdint>

#include "resources/resource_ids.h"

namespace vosko {
namespace {

constexpr int kTop = 38;  // below the banner
constexpr int kGap = 10;  // between buttons, and between the buttons and the right edge
constexpr int kListLeft = 10;

// Details view: one column, top to bottom.
constexpr int kColumnOrder[12] = {IDC_PASTE,  IDC_EDIT,   IDC_COMPILE, IDC_NEW,
                                  IDC_DELETE, IDC_RESCAN, IDC_SEND,    IDC_EXPORT,
                                  IDC_OPTIONS, IDC_ABOUT, IDC_HELP_BUTTON, IDC_EXIT};

// The other views: four rows of three, each row read from left to right.
constexpr int kRows[4][3] = {{IDC_PASTE, IDC_EDIT, IDC_COMPILE},
                             {IDC_NEW, IDC_DELETE, IDC_RESCAN},
                             {IDC_SEND, IDC_EXPORT, IDC_OPTIONS},
                             {IDC_ABOUT, IDC_HELP_BUTTON, IDC_EXIT}};

}  // namespace

MainLayout ComputeMainLayout(int width, int height, int button_width, int button_height,
                             int status_height, bool details_view) {
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

}  // namespace vosko
