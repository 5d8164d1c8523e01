// The private window messages exchanged with the host e-mail client, and the sizes of the
// buffers that pass with them. Shared by the extension and the stand-in host.
#pragma once

namespace vosko::host {

// Sent by the extension to the host window.
constexpr unsigned kQueryHomeDirectory = 3046;      // wParam 260, lParam 260-byte buffer
constexpr unsigned kQuerySetting = 3064;            // wParam item, lParam buffer
constexpr unsigned kQueryFileTypeDirectory = 3089;  // wParam 260, lParam 260-byte buffer
constexpr unsigned kSelectFile = 3096;              // wParam 0 save / 1 open, lParam 256-byte buffer

constexpr unsigned kSettingFont = 81;    // 36 bytes: face name (32), then a 32-bit height
constexpr unsigned kSettingHeader = 57;  // 1024-byte buffer: the initial header text

constexpr int kHomeDirectorySize = 260;
constexpr int kFontDescriptionSize = 36;
constexpr int kFontFaceSize = 32;
constexpr int kHeaderTextSize = 1024;
constexpr int kFileSelectionSize = 256;

// Sent by the host to the extension's main window.
constexpr unsigned kResizeNotice = 2826;     // lParam: new client width | height << 16
constexpr unsigned kSizeLimitsQuery = 2827;  // lParam: MINMAXINFO* or null
constexpr unsigned kPositionQuery = 2828;    // lParam: two 32-bit values, x then y
constexpr unsigned kLateSetUpNotice = 2829;
constexpr unsigned kFocusNotice = 2830;

// The oldest extension interface the extension runs with (low 16 bits of FORMINIT's first
// argument).
constexpr unsigned kMinimumInterfaceVersion = 258;

}  // namespace vosko::host
