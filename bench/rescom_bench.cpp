// Throughput of the resource compiler's core on a generated script in the script writer's
// layout: one parse pass alone, and the whole two-pass compile into memory. The end-to-end
// comparison with strfile, files included, is scripts/bench-rescom.sh.
#include "compiler.h"
#include "script_parser.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

const std::string& writer_script() {
  static const std::string script = [] {
    std::mt19937 random(1994);
    const char* const words[] = {"the", "quote", "of",   "time", "and",           "life",
                                 "is",  "not",   "what", "we",   "\\\"truth\\\"", "C:\\q"};
    std::string s = "headers off       #  Ignore this command\r\n";
    while (s.size() < 16 * 1000 * 1000) {
      s += "\r\ntext x\r\n   {\r\n";
      for (unsigned line = random() % 6 + 1; line > 0; --line) {
        s += "   \"";
        for (unsigned w = random() % 12 + 3; w > 0; --w) {
          s += words[random() % std::size(words)];
          s += ' ';
        }
        s += "\\n\",\r\n";
      }
      s += "   };\r\n";
    }
    return s;
  }();
  return script;
}

class NullSink final : public rescom::TextSink {
 public:
  void begin(std::uint32_t) override {}
  void append(const char* bytes, std::size_t size) override { benchmark::DoNotOptimize(bytes + size); }
  void end(std::uint64_t length) override { benchmark::DoNotOptimize(length); }
};

void BM_ParseOnePass(benchmark::State& state) {
  const std::string& script = writer_script();
  for (auto _ : state) {
    rescom::ScriptInput input(script);
    NullSink sink;
    benchmark::DoNotOptimize(rescom::parse_script(input, sink));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
}
BENCHMARK(BM_ParseOnePass)->Unit(benchmark::kMillisecond);

void BM_CompileInMemory(benchmark::State& state) {
  const std::string& script = writer_script();
  std::string rsc;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rescom::compile_bytes(script, rsc));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
}
BENCHMARK(BM_CompileInMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
