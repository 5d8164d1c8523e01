// A stand-in text editor for the Edit tests: writes how it was asked to show its window and
// its arguments, one a line, to the file named by VOSKO_TEST_EDITOR_LOG, then ends. The log
// is written under another name and renamed, so a test never reads half of it.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  char log[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("VOSKO_TEST_EDITOR_LOG", log, sizeof log);
  if (length == 0 || length >= sizeof log) return 1;
  std::string text = "show=" + std::to_string(show) + "\n";
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; arguments != nullptr && i < count; ++i) {
    char argument[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, arguments[i], -1, argument, sizeof argument - 1, nullptr, nullptr);
    text += std::string("arg=") + argument + "\n";
  }
  LocalFree(arguments);
  const std::string part = std::string(log) + ".part";
  std::FILE* file = std::fopen(part.c_str(), "wb");
  if (file == nullptr) return 1;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  return MoveFileA(part.c_str(), log) ? 0 : 1;
}
