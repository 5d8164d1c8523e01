// The one state record of the extension, reached through one global pointer. It is static
// and lives as long as the library; window handles, fonts and the image list in it live
// from start-up or late set-up until the closing routine.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>

#include "engine/window_layout.h"

namespace vosko {

constexpr int kPathSize = 260;   // paths hold at most 259 characters and the terminator
constexpr int kColumnCount = 8;  // Title, Author, Size, # Quotes, File Date, Creation Date,
                                 // Compile Date, Filename

enum ViewOption { kViewLargeIcons = 0, kViewSmallIcons = 1, kViewList = 2, kViewDetails = 3 };

struct VoskoState {
  char home_directory[kPathSize];
  char settings_file[kPathSize];
  char quote_folder[kPathSize];
  char help_file[kPathSize];
  char text_editor[kPathSize];
  HWND main_window;
  int first_run;  // nonzero until the welcome message has been shown
  HFONT normal_font;
  HFONT bold_font;
  int close_after_paste;
  HICON item_icon;
  HICON small_icon;  // sent to the host window at start-up; ours to destroy when the window goes
  int window_x, window_y, window_width, window_height;
  // The host window's frame as late set-up placed it. While the frame is still there at
  // close, the stored placement is written back unchanged: one that had to be brought into
  // view, or a size of 0, is kept until the user moves or sizes the window.
  bool host_placed;
  WindowBox placed_frame;
  int view_option;
  std::array<int, kColumnCount> column_widths;
  std::array<int, kColumnCount> column_order;
  // The order as the settings file held it (by position, unchecked): outside Details view
  // the closing routine writes it back unchanged.
  std::array<int, kColumnCount> stored_column_order;
  std::array<int, kColumnCount> column_visible;
  HWND status_bar;
  HWND detail_progress;  // progress within the current file, only during a long run
  HWND total_progress;   // progress of the whole run
  HWND list_view;
  HIMAGELIST image_list;
  int maximize_editor;
};

// Set by start-up once the host and common controls have passed their checks.
extern VoskoState* g_state;

// The library's instance handle, stored when the library is attached; every string,
// dialog template, icon, bitmap and the embedded compiler are loaded through it.
extern HINSTANCE g_module;

}  // namespace vosko
