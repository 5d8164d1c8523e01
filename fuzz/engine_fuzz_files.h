// A scratch folder per fuzzing process, for the target that goes through real files (the
// others hold their files in memory).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace vosko::fuzz {

inline std::string ScratchPath(std::string_view name) {
  static const std::string dir = [] {
    const auto d = std::filesystem::temp_directory_path() / ("vosko_fuzz_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir + "/" + std::string(name);
}

inline std::string ReadScratch(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}

}  // namespace vosko::fuzz
