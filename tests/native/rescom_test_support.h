// Helpers shared by the rescom tests: compiling a script in memory into its texts, scratch
// folders, and running the built rescom program. Portable: these tests also run under Wine.
#pragma once

#include "compiler.h"
#include "engine_files.h"
#include "report.h"
#include "rsc_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace rescom_test {

namespace fs = std::filesystem;

// Compiles in memory and decodes the result; fails the test if the result does not decode.
inline std::vector<std::string> texts_of(std::string_view script) {
  std::string rsc;
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  EXPECT_EQ(outcome.exit_code, rescom::kExitOk) << (outcome.lines.empty() ? std::string() : outcome.lines.front());
  std::string why;
  const auto file = rescom::decode_rsc(rsc, &why);
  EXPECT_TRUE(file.has_value()) << why;
  std::vector<std::string> texts;
  if (file)
    for (std::size_t i = 0; i < file->offsets.size(); ++i) texts.emplace_back(file->text(i));
  return texts;
}

inline std::string read_file(const fs::path& path) { return vosko::testing::ReadBytes(path.string()); }

inline void write_file(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The engine tests' scratch folder, its files named with "/".
class TempDir : public vosko::testing::ScratchDir {
 public:
  fs::path operator/(const char* name) const { return Path(name); }
};

// The built compiler. In the win32 tree the tests run under Wine, where the build's Unix path
// is reached through drive Z:.
inline std::string rescom_exe() {
  std::string path = VOSKO_RESCOM_EXE;
#ifdef _WIN32
  if (!path.empty() && path.front() == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

// Runs rescom with the given arguments (each quoted here), standard output into `stdout_file`.
// Returns the exit code, or -1 if it did not exit normally.
inline int run_rescom(const std::vector<std::string>& args, const fs::path& stdout_file) {
  std::string command = "\"" + rescom_exe() + "\"";
  for (const std::string& arg : args) command += " \"" + arg + "\"";
  command += " > \"" + stdout_file.string() + "\" 2>&1";
#ifdef _WIN32
  // cmd.exe strips one pair of quotes around the whole line.
  return std::system(("\"" + command + "\"").c_str());
#else
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// A header block like the script writer's (its tricky parts: double quotes and a backslash-n
// inside "##" comments, commands with comment tails), as it reaches the file in text mode.
inline std::string writer_header_crlf() {
  static const char* const kLines[] = {
      "",
      "##   Compile this source using ResCom.exe, by issuing the",
      "##   command \"ResCom RQUOTES.R\" then copy the resulting",
      "##      C:\\PMAIL> copy rquotes.rsc f:\\mail\\9000001\\rquotes.pms",
      "##   quoted strings, ending with \\n wherever you want a line",
      "##   Created by Vosko, The Quote Manager V0.99 on 06-12-2025 07:00",
      "",
      "headers off       #  Ignore this command",
      "symbols off       #  Ignore this command.",
  };
  std::string header;
  for (const char* line : kLines) header += std::string(line) + "\r\n";
  return header;
}

inline std::string to_crlf(std::string_view lf) { return vosko::testing::Crlf(lf); }

}  // namespace rescom_test
