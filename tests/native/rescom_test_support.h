// Helpers shared by the rescom tests: compiling a script in memory into its texts, and running
// the built rescom program. Portable: these tests also run under Wine.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "compiler.h"
#include "engine_files.h"
#include "report.h"
#include "rsc_format.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace rescom_test {

// Compiles in memory and decodes the result; fails the test if the result does not decode.
inline std::vector<std::string> texts_of(std::string_view script) {
  std::string rsc;
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  EXPECT_EQ(outcome.exit_code, rescom::kExitOk) << (outcome.lines.empty() ? std::string() : outcome.lines.front());
  const auto file = rescom::decode_rsc(rsc);
  EXPECT_TRUE(file.has_value());
  std::vector<std::string> texts;
  for (std::size_t i = 0; file && i < file->offsets.size(); ++i) texts.emplace_back(file->text(i));
  return texts;
}

// Runs the built rescom with the given arguments (each quoted here), its output into
// `stdout_file`. Returns the exit code, or -1 if it did not exit normally. In the win32 tree
// the tests run under Wine, where the build's Unix path is reached through drive Z:.
inline int run_rescom(const std::vector<std::string>& args, const std::string& stdout_file) {
  std::string exe = VOSKO_RESCOM_EXE;
#ifdef _WIN32
  if (!exe.empty() && exe.front() == '/') exe = "Z:" + exe;
  for (char& c : exe)
    if (c == '/') c = '\\';
#endif
  std::string command = "\"" + exe + "\"";
  for (const std::string& arg : args) command += " \"" + arg + "\"";
  command += " > \"" + stdout_file + "\" 2>&1";
#ifdef _WIN32
  return std::system(("\"" + command + "\"").c_str());  // cmd.exe strips one pair of quotes
#else
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace rescom_test
