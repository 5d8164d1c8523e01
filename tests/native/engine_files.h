// Scratch files for the engine tests: a fresh folder per test under the system's temporary
// folder (the same tests run natively and under Wine), raw bytes in and out.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_report.h"
#include "engine/text_format.h"

namespace vosko::testing {

// Keeps every failure report, in order.
class ReportLog final : public EngineReport {
 public:
  struct Entry {
    unsigned id, number;
    ReportIcon icon;
    ReportOwner owner;
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> entries;
  void Report(unsigned id, unsigned number, ReportIcon icon, ReportOwner owner) override {
    entries.push_back({id, number, icon, owner});
  }
};

class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        std::string("vosko_engine_") + (info ? info->test_suite_name() : "x") + "_" + (info ? info->name() : "y");
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ec)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                   ec);
    }
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(std::string_view file) const { return (dir_ / std::string(file)).string(); }
  // Writes `bytes` exactly (no translation) and returns the path.
  std::string Write(std::string_view file, std::string_view bytes) const {
    const std::string path = Path(file);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

 private:
  std::filesystem::path dir_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void MakeReadOnly(const std::string& path) {
  std::filesystem::permissions(
      path,
      std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write,
      std::filesystem::perm_options::remove);
}

// A calendar time; the weekday and seconds matter only to the texts that show them.
inline CalendarTime At(int year, int month, int day, int weekday, int hour = 0, int minute = 0, int second = 0) {
  CalendarTime t;
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.dayOfWeek = static_cast<std::uint16_t>(weekday);
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  t.second = static_cast<std::uint16_t>(second);
  return t;
}

// LF to CR LF, as every text-mode writer stores it.
inline std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace vosko::testing
