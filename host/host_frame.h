// The stand-in host's MDI frame: its client window holds the host windows.
#pragma once

#include <windows.h>

namespace voskohost {

class HostFrame {
 public:
  HostFrame() = default;
  ~HostFrame();
  HostFrame(const HostFrame&) = delete;
  HostFrame& operator=(const HostFrame&) = delete;

  // Creates the frame (shown with `show`) and its MDI client. Returns false on failure.
  bool Create(HINSTANCE instance, const char* title, int show);
  void Destroy();

  HWND frame() const { return frame_; }
  HWND client() const { return client_; }

  // Gives a message to the modeless extension window and the MDI client first, as the
  // host's own loop does. Returns true when one of them consumed it.
  bool PreTranslate(MSG* message) const;

  // Runs messages until WM_QUIT; returns its exit code.
  int Run() const;

 private:
  HWND frame_ = nullptr;
  HWND client_ = nullptr;
};

}  // namespace voskohost
