// Throughput of the quote engine over a generated 100 MB quote file: writing the resource
// script, counting quotes for the rescan, and exporting, against a plain buffered copy of the
// same bytes.  Run through scripts/bench-engine.sh, which prints MB/s and the ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "engine/script_writer.h"
#include "engine/export_quotes.h"
#include "engine/text_encoding.h"
#include "engine/text_file.h"

namespace {

namespace fs = std::filesystem;

std::int64_t TargetBytes() {
  const char* mb = std::getenv("VOSKO_BENCH_MB");
  return (mb ? std::atoll(mb) : 100) * 1000 * 1000;
}

// A quote file as users write them: a comment header, directives, quotes of one to four lines
// of 40 to 90 characters, some with double quotes and trailing comments, CR LF line ends.
const std::string& QuoteFile() {
  static const std::string path = [] {
    const fs::path p = fs::temp_directory_path() / "vosko_bench_quotes.lsq";
    const std::int64_t target = TargetBytes();
    std::error_code ec;
    if (fs::exists(p, ec) && static_cast<std::int64_t>(fs::file_size(p, ec)) == target) return p.string();
    std::mt19937 rng(42);
    const char* words[] = {"the",      "quick", "brown",   "fox",   "wisdom", "is",     "knowing", "what", "to",
                           "overlook", "life",  "happens", "while", "busy",   "making", "other",   "plans"};
    std::string out =
        "## generated quotes\r\n@@TITLE=Benchmark\r\n@@AUTHOR=Nobody\r\n@@HEADER=Thought:\r\n"
        "@@END=  -- anon\r\n@@CENTER=72\r\n\r\n";
    out.reserve(static_cast<std::size_t>(target) + 4096);
    while (static_cast<std::int64_t>(out.size()) < target) {
      const int lines = 1 + static_cast<int>(rng() % 4);
      for (int l = 0; l < lines; ++l) {
        const std::size_t len = 40 + rng() % 50;
        std::string line;
        while (line.size() < len) {
          if (!line.empty()) line += ' ';
          line += words[rng() % std::size(words)];
        }
        if (rng() % 10 == 0) line = "\"" + line + "\"";
        if (rng() % 15 == 0) line += "   ## note";
        out += line + "\r\n";
      }
      out += (rng() % 50 == 0) ? "@@RIGHT=70\r\n" : "\r\n";
    }
    out.resize(static_cast<std::size_t>(target));
    std::FILE* f = std::fopen(p.string().c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return p.string();
  }();
  return path;
}

std::string OutputPath(const char* name) { return (fs::temp_directory_path() / name).string(); }

void BM_PlainCopy(benchmark::State& state) {
  const std::string in = QuoteFile();
  const std::string out = OutputPath("vosko_bench_copy.out");
  auto buffer = std::make_unique<char[]>(64 * 1024);
  for (auto _ : state) {
    std::FILE* src = std::fopen(in.c_str(), "rb");
    std::FILE* dst = std::fopen(out.c_str(), "wb");
    for (std::size_t n; (n = std::fread(buffer.get(), 1, 64 * 1024, src)) > 0;) std::fwrite(buffer.get(), 1, n, dst);
    std::fclose(src);
    std::fclose(dst);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(in)));
}

void BM_ScriptWrite(benchmark::State& state) {
  const std::string in = QuoteFile();
  const std::string out = OutputPath("vosko_bench_rquotes.r");
  int quotes = 0;
  for (auto _ : state) {
    vosko::TextFile script;
    vosko::ScriptRun run;
    vosko::WriteScriptHeader(script, out, "Sat 12/05/26", "14:07:09", run, nullptr);
    quotes = vosko::AppendQuoteFile(&script, in, "Benchmark", run, {});
    script.Close();
  }
  state.counters["quotes"] = quotes;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(in)));
}

void BM_Count(benchmark::State& state) {
  const std::string in = QuoteFile();
  int quotes = 0;
  for (auto _ : state) {
    vosko::ScriptRun run;
    quotes = vosko::AppendQuoteFile(nullptr, in, "Benchmark", run, {});
    benchmark::DoNotOptimize(quotes);
  }
  state.counters["quotes"] = quotes;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(in)));
}

void BM_Export(benchmark::State& state) {
  const std::string in = QuoteFile();
  const std::string out = OutputPath("vosko_bench_export.txt");
  for (auto _ : state) {
    vosko::TextFile file;
    file.Open(out, "w+t");
    vosko::ExportRun run;
    run.out = &file;
    vosko::ExportQuoteFile(run, in, "Benchmark");
    file.Close();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(in)));
}

// The same collection with accented letters (every "o" an "\xF6": one character in twenty),
// saved in Windows-1252 and in UTF-8: a UTF-8 compile must cost at most 1.5 times the ANSI one.
std::pair<std::string, std::string> AccentedFiles() {
  static const auto paths = [] {
    std::FILE* f = std::fopen(QuoteFile().c_str(), "rb");
    std::string ansi(static_cast<std::size_t>(fs::file_size(QuoteFile())), '\0');
    ansi.resize(std::fread(ansi.data(), 1, ansi.size(), f));
    std::fclose(f);
    std::replace(ansi.begin(), ansi.end(), 'o', '\xF6');
    std::string utf8;
    vosko::BuiltInCodePage(1252)->AppendUtf8(ansi, utf8);
    std::pair<std::string, std::string> made{OutputPath("vosko_bench_ansi.lsq"), OutputPath("vosko_bench_utf8.lsq")};
    for (const auto& [path, bytes] : {std::pair(made.first, &ansi), std::pair(made.second, &utf8)}) {
      f = std::fopen(path.c_str(), "wb");
      std::fwrite(bytes->data(), 1, bytes->size(), f);
      std::fclose(f);
    }
    return made;
  }();
  return paths;
}

// Processor time, not wall time: on a shared machine the wall clock mostly measures the others.
double CompileSeconds(const std::string& in, const std::string& out) {
  const std::clock_t start = std::clock();
  vosko::TextFile script;
  vosko::ScriptRun run;
  vosko::WriteScriptHeader(script, out, "Sat 12/05/26", "14:07:09", run, nullptr);
  vosko::AppendQuoteFile(&script, in, "Benchmark", run, {});
  script.Close();
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Both compiles in every iteration, so that the ratio compares like with like on a busy machine.
void BM_ScriptWriteUtf8VsAnsi(benchmark::State& state) {
  const auto [ansi, utf8] = AccentedFiles();
  const std::string out = OutputPath("vosko_bench_rquotes.r");
  double ansi_seconds = 0, utf8_seconds = 0;
  for (auto _ : state) {
    ansi_seconds += CompileSeconds(ansi, out);
    utf8_seconds += CompileSeconds(utf8, out);
  }
  state.counters["ansi_ms"] = 1000 * ansi_seconds / static_cast<double>(state.iterations());
  state.counters["utf8_ms"] = 1000 * utf8_seconds / static_cast<double>(state.iterations());
  state.counters["utf8/ansi"] = utf8_seconds / ansi_seconds;
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ScriptWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Count)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ScriptWriteUtf8VsAnsi)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(4.0);

}  // namespace

BENCHMARK_MAIN();
