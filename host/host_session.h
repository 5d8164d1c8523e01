// One opened extension window inside the stand-in host: the host window (an MDI child),
// the loaded library and the answers the host gives to the extension's queries.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

namespace voskohost {

// What the host answers. Tests change these to play a host that misbehaves.
struct HostAnswers {
  unsigned interface_version = 258;
  std::string home_directory;        // answer to the home-directory query
  bool home_query_fails = false;     // answer 0 to the home-directory query
  bool home_unterminated = false;    // fill the whole 260-byte buffer without a terminator
  std::string font_face = "Tahoma";  // the font description (host::kSettingFont)
  int font_height = -11;
  bool font_query_fails = false;    // a nonzero answer to the font item
  std::string header_text;          // host::kSettingHeader, the initial header of the resource script
  std::string file_type_directory;  // where filetype.pm lives; empty: the home directory
  // Answers to file selection requests, used in order instead of showing the common
  // dialog; an empty entry answers "cancelled".
  std::deque<std::string> scripted_selections;
};

// Counts of what the host was told, for tests.
struct HostLog {
  int small_icons = 0;      // WM_SETICON with ICON_SMALL received
  int close_requests = 0;   // WM_CLOSE posted by the extension
  int file_selections = 0;  // file selection requests answered
};

class HostSession {
 public:
  // Registers the window classes once per process.
  static bool RegisterClasses(HINSTANCE instance);

  HostSession(HostAnswers answers, HWND mdi_client) : answers_(std::move(answers)), mdi_client_(mdi_client) {}
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Loads the library, creates the host window and calls FORMINIT with the configured
  // interface version. Returns FORMINIT's result (or 0 when the library has no FORMINIT);
  // `library_error` tells why the library could not be used.
  int Open(const std::string& library_path, std::string* library_error = nullptr);

  // After a successful Open: asks for the stored position, shows the extension, reports
  // the size and sends the late set-up notice.
  void ShowExtension();

  // Destroys the host window (the extension's closing routine runs) and frees the library.
  void Close();

  HWND host_window() const { return host_window_; }
  HWND main_window() const { return main_window_; }
  HMODULE library() const { return library_; }
  HostAnswers& answers() { return answers_; }
  const HostLog& log() const { return log_; }
  bool host_window_destroyed() const { return host_window_ == nullptr && opened_; }

  // Closes `frame` too when the host window goes (the stand-in host's one window).
  void CloseFrameWithWindow(HWND frame) { frame_to_close_ = frame; }

  // Sends the resize notice for the host window's current client size.
  LRESULT SendResizeNotice();

  // Handling of the host window's messages (public for the window procedure).
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool* handled);

 private:
  LRESULT AnswerSetting(WPARAM item, LPARAM buffer);
  LRESULT AnswerFileSelection(WPARAM flag, LPARAM buffer);

  HostAnswers answers_;
  HostLog log_;
  HWND mdi_client_ = nullptr;
  HWND host_window_ = nullptr;
  HWND main_window_ = nullptr;
  HMODULE library_ = nullptr;
  bool opened_ = false;
  HWND frame_to_close_ = nullptr;
};

// The window class of the host window.
inline constexpr char kHostWindowClass[] = "VoskoHostWindow";

}  // namespace voskohost
