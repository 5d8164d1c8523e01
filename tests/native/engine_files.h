// Scratch files for the engine tests: a fresh folder per test under the system's temporary
// folder (the same tests run natively and under Wine), raw bytes in and out.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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
    std::string name = std::string("vosko_engine_") + info->test_suite_name() + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {  // read-only files first made writable: Windows deletes no others
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ec))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                   ec);
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(std::string_view file) const { return (dir_ / std::string(file)).string(); }
  // Writes `bytes` exactly (no translation) and returns the path.
  std::string Write(std::string_view file, std::string_view bytes) const {
    std::ofstream(Path(file), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return Path(file);
  }

 private:
  std::filesystem::path dir_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void MakeReadOnly(const std::string& path) {
  using std::filesystem::perms;
  std::filesystem::permissions(path, perms::owner_write | perms::group_write | perms::others_write,
                               std::filesystem::perm_options::remove);
}

// A calendar time; the weekday and seconds matter only to the texts that show them.
inline CalendarTime At(int year, int month, int day, int weekday, int hour = 0, int minute = 0, int second = 0) {
  const auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
  return {u16(year), u16(month), u16(weekday), u16(day), u16(hour), u16(minute), u16(second)};
}

// LF to CR LF, as every text-mode writer stores it.
inline std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) (c == '\n' ? out += "\r\n" : out += c);
  return out;
}

}  // namespace vosko::testing
