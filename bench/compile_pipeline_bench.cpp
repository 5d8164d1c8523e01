// The compile without the library: the engine writes the resource script of every quote file
// in a folder, then the compiler's core turns it into the compiled file, both in this process.
// What the DLL's Compile adds to this (the window, the progress bars, the batch file and
// rescom.exe's start, the copy into the home directory) is what scripts/bench-compile.sh
// measures against it. Built natively and, to tell Wine's share from the DLL's, for Windows.
//
//   compile_pipeline_bench QUOTE_FOLDER OUTPUT_FOLDER
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include "engine/script_writer.h"
#include "compiler.h"
#include "engine/text_file.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: compile_pipeline_bench QUOTE_FOLDER OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(argv[1])) {
    if (entry.path().extension() == ".lsq") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());  // the list's order for the generated titles
  const std::string script_path = (fs::path(argv[2]) / "rquotes.r").string();
  const std::string rsc_path = (fs::path(argv[2]) / "rquotes.rsc").string();
  const auto start = std::chrono::steady_clock::now();
  vosko::ScriptRun run;
  {
    vosko::TextFile script;
    if (!vosko::WriteScriptHeader(script, script_path, "Sat 12/05/26", "14:07:09", run, nullptr)) return 1;
    vosko::QuoteFileContext context;
    for (const std::string& file : files) {
      if (vosko::AppendQuoteFile(&script, file, "", run, context) < 0) return 1;
    }
    if (!script.Close()) return 1;
  }
  const auto written = std::chrono::steady_clock::now();
  const rescom::CompileOutcome outcome = rescom::compile_file(script_path, rsc_path);
  const auto end = std::chrono::steady_clock::now();
  const auto seconds = [](auto from, auto to) { return std::chrono::duration<double>(to - from).count(); };
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  const long peak_kb = static_cast<long>(memory.PeakWorkingSetSize / 1024);
#else
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  const long peak_kb = usage.ru_maxrss;
#endif
  std::printf("engine + rescom: %zu files in %.3f s (script %.3f s, compiler %.3f s)\n", files.size(),
              seconds(start, end), seconds(start, written), seconds(written, end));
  std::printf("peak resident: %ld KB\n", peak_kb);
  std::printf("report: %s\n", outcome.lines.empty() ? "" : outcome.lines.back().c_str());
  return outcome.exit_code;
}
