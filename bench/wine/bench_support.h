// Small helpers shared by the benchmark programs that run under Wine (not tests).
#pragma once

#include <windows.h>

#include <string>

namespace vtest {

// Seconds between two performance-counter readings.
inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The folder of the running program, where the benchmark finds vosko.dll.
inline std::string ExeDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string directory = path;
  return directory.substr(0, directory.find_last_of("\\/"));
}

}  // namespace vtest
