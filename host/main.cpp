// voskohost.exe: a small MDI e-mail client stand-in that opens the Vosko extension the way
// the real host does, and answers its questions from the command line's options.
#include "host_frame.h"
#include "host_session.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The extension's controls a user would use (ids of its main window).
constexpr int kListView = 230;
constexpr int kCompileButton = 1140;
constexpr int kRescanButton = 1144;
constexpr int kAboutButton = 1002;

constexpr char kUsage[] =
    "Usage: voskohost [options]\n"
    "Opens the Vosko extension inside a stand-in e-mail client window.\n"
    "\n"
    "  --dll PATH            the extension library (default: vosko.dll beside voskohost.exe)\n"
    "  --home DIR            the home mailbox directory the host reports\n"
    "                        (default: a per-user folder, created when missing)\n"
    "  --header TEXT         the initial header text of compiled quotes (default: none)\n"
    "  --filetype-dir DIR    the directory of filetype.pm (default: the home directory)\n"
    "  --interface N         the extension interface version passed to FORMINIT (default 258)\n"
    "  --font FACE,HEIGHT    the font description the host reports (default Tahoma,-11)\n"
    "  --press compile|rescan|about  once the window is up, select every quote file and\n"
    "                        press Compile (or Rescan, or About), as a user would\n"
    "  --help                show this text\n";

struct Options {
  std::string dll;
  voskohost::HostAnswers answers;
  std::string press;  // a button to press once the window is up
  bool help = false;
  std::string error;
};

std::string ExeDirectory() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string directory(path, length < sizeof path ? length : 0);
  size_t slash = directory.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : directory.substr(0, slash);
}

std::string DefaultHome() {
  char appdata[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appdata))) {
    return ExeDirectory() + "\\home";
  }
  std::string home = std::string(appdata) + "\\VoskoHost";
  CreateDirectoryA(home.c_str(), nullptr);
  home += "\\Mail";
  CreateDirectoryA(home.c_str(), nullptr);
  return home;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& target) {
      if (i + 1 >= argc) {
        options.error = arg + " needs a value";
        return;
      }
      target = argv[++i];
    };
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      options.help = true;
    } else if (arg == "--dll") {
      value(options.dll);
    } else if (arg == "--home") {
      value(options.answers.home_directory);
    } else if (arg == "--header") {
      value(options.answers.header_text);
    } else if (arg == "--filetype-dir") {
      value(options.answers.file_type_directory);
    } else if (arg == "--interface") {
      std::string number;
      value(number);
      options.answers.interface_version = static_cast<unsigned>(std::strtoul(number.c_str(), nullptr, 0));
    } else if (arg == "--press") {
      value(options.press);
      if (options.press != "compile" && options.press != "rescan" && options.press != "about") {
        options.error = "--press takes compile, rescan or about";
      }
    } else if (arg == "--font") {
      std::string font;
      value(font);
      size_t comma = font.find(',');
      options.answers.font_face = font.substr(0, comma);
      if (comma != std::string::npos) options.answers.font_height = std::atoi(font.c_str() + comma + 1);
    } else {
      options.error = "unknown option " + arg;
    }
    if (!options.error.empty()) break;
  }
  if (options.dll.empty()) options.dll = ExeDirectory() + "\\vosko.dll";
  if (options.answers.home_directory.empty()) options.answers.home_directory = DefaultHome();
  return options;
}

// Selects every row of the list and posts the button's command: it runs once the message loop
// has drawn the window.
void PressOnEveryRow(HWND main_window, int button) {
  LVITEMA all = {};
  all.stateMask = LVIS_SELECTED;
  all.state = LVIS_SELECTED;
  SendMessageA(GetDlgItem(main_window, kListView), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(&all));
  PostMessageA(main_window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(main_window, button)));
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  if (options.help || !options.error.empty()) {
    if (!options.error.empty()) std::fprintf(stderr, "voskohost: %s\n\n", options.error.c_str());
    std::fputs(kUsage, options.help ? stdout : stderr);
    return options.help ? 0 : 3;
  }

  HINSTANCE instance = GetModuleHandleA(nullptr);
  voskohost::HostFrame frame;
  if (!voskohost::HostSession::RegisterClasses(instance) || !frame.Create(instance, "Vosko host", SW_SHOWNORMAL)) {
    std::fputs("voskohost: cannot create the host's windows\n", stderr);
    return 2;
  }
  voskohost::HostSession session(options.answers, frame.client());
  session.CloseFrameWithWindow(frame.frame());
  std::string library_error;
  int result = session.Open(options.dll, &library_error);
  if (result == 0) {
    if (!library_error.empty()) std::fprintf(stderr, "voskohost: %s\n", library_error.c_str());
    return 1;
  }
  session.ShowExtension();
  if (!options.press.empty()) {
    const int button = options.press == "compile"  ? kCompileButton
                       : options.press == "rescan" ? kRescanButton
                                                   : kAboutButton;
    PressOnEveryRow(session.main_window(), button);
  }
  return frame.Run();
}
