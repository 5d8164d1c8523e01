// Where the main window's controls go: twelve buttons at the right, the list view beside
// them and the status bar along the bottom. Pure arithmetic, so the two arrangements can
// be checked without a window; the Win32 face reads the sizes and moves the controls.
#pragma once

#include <array>

namespace vosko {

struct ControlRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ControlRect&) const = default;
};

struct ButtonPlace {
  int id = 0;
  int x = 0, y = 0;
};

struct MainLayout {
  std::array<ButtonPlace, 12> buttons{};  // each the size of the Edit button
  ControlRect list;
  ControlRect status_bar;
};

// Lays out a client area of `width` by `height` with buttons of `button_width` by
// `button_height` and a status bar `status_height` high. Details view stacks the buttons in
// one column, so the list gets the width its columns need; the other views keep four rows
// of three. Nothing is clamped: a window too small for the buttons gives the list a
// negative size, which the window system treats as empty.
MainLayout ComputeMainLayout(int width, int height, int button_width, int button_height, int status_height,
                             bool details_view);

// The status bar's second part edge: half way between the first edge and the right end,
// so the two progress bars of a long run share that room equally.
int SecondStatusEdge(int first_edge, int width);

// The status bar's edges when it is made: the text part takes 70% of the window, the
// second part is one pixel until the first layout, the third reaches the right end.
std::array<int, 3> InitialStatusEdges(int client_width);

// The host window's frame in the area it lives in (its parent's client area, or the screen).
struct WindowBox {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const WindowBox&) const = default;
};

// The smallest host window that the main window lays out (the answer to the host's size
// limits query).
inline constexpr int kMinimumHostWidth = 500;
inline constexpr int kMinimumHostHeight = 200;

// Where the host window goes for its stored placement, so that the user can always reach it
// (a hand-edited position, a smaller parent, a screen that is gone):
// - a stored width or height of 0 or less takes the host's own size, `own`;
// - a size larger than the area is reduced to it, but not below the smallest host window
//   (a parent smaller than that gets the smallest size, at the area's corner);
// - the caption must be in reach: its whole height inside the area, and at least
//   kVisibleCaptionWidth pixels of its width (all of a narrower window). A placement that
//   keeps it so stays as it is, partly outside or not; otherwise the window moves, on the
//   axis where it is out of reach, just far enough to lie wholly inside. A window as wide
//   or as high as the area starts at its left or top edge.
// An empty area (a minimised parent) tells nothing: only the size rules apply.
inline constexpr int kVisibleCaptionWidth = 100;
WindowBox PlaceInView(const WindowBox& stored, const WindowBox& own, const WindowBox& area, int caption_height);

}  // namespace vosko
