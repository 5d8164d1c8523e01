// The extension's Win32 face driven inside the test program: the library's resources, a
// state record of the test's own and a main window made from the library's template inside
// a plain host window, for tests that call the face's functions directly.
#pragma once

#include "harness.h"

#include "win32/base/vosko_state_win32.h"

#include <windows.h>

#include <string>

namespace vtest {

class InProcessExtension {
 public:
  InProcessExtension(const std::string& settings_file, const std::string& quote_folder);
  ~InProcessExtension();
  InProcessExtension(const InProcessExtension&) = delete;
  InProcessExtension& operator=(const InProcessExtension&) = delete;

  // False when the library, a path or the main window could not be set up.
  bool ok() const { return ok_; }
  vosko::VoskoState& state() { return state_; }
  HMODULE library() const { return library_; }
  HWND main_window() const { return state_.main_window; }

 private:
  HMODULE library_ = nullptr;
  HWND host_ = nullptr;
  vosko::VoskoState state_{};
  bool ok_ = false;
};

// The base fixture of the tests that drive the face directly: a home and a quote folder of
// their own, every box and dialog answered, and the main window made in this process.
class InProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(extension_.ok()); }

  TempFolder home_{"vosko-unit-home"};
  TempFolder quotes_{"vosko-unit-quotes"};
  ModalInterceptor modal;
  InProcessExtension extension_{home_.File("Tarno.pm"), quotes_.path()};
  vosko::VoskoState& state_ = extension_.state();
};

}  // namespace vtest
