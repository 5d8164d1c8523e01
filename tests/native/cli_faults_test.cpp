// The tool's outputs with each file step failing in turn. The native tree links the C
// runtime's fopen, fwrite, fflush, fclose and rename wrapped (tests/CMakeLists.txt), so the
// tool's own files and the compiler's are failed where they are made: a failing write writes
// half its bytes, a failing close still closes.
#ifdef VOSKO_WRAPPED_FILE_CALLS
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "cli.h"
#include "cli_support.h"
#include "engine_files.h"

namespace {

enum Call { kOpen, kWrite, kFlush, kClose, kRename };
struct Step {
  Call call;
  std::string file;
  bool writes;  // the file was opened to be written, or is being renamed into place
};
bool g_counting = false;
std::vector<Step> g_steps;
std::size_t g_fail = 0;  // the step (from 1) that fails; 0: none
std::map<std::FILE*, Step> g_files;

bool Fails(Call call, const std::string& path, bool writes) {
  if (!g_counting) return false;
  g_steps.push_back({call, std::filesystem::path(path).filename().string(), writes});
  if (g_steps.size() != g_fail) return false;
  errno = EIO;
  return true;
}
bool Fails(Call call, std::FILE* file) {
  const auto found = g_files.find(file);
  return found != g_files.end() && Fails(call, found->second.file, found->second.writes);
}

}  // namespace

extern "C" {
std::FILE* __real_fopen(const char* path, const char* mode);
std::size_t __real_fwrite(const void* bytes, std::size_t size, std::size_t count, std::FILE* file);
int __real_fflush(std::FILE* file);
int __real_fclose(std::FILE* file);
int __real_rename(const char* from, const char* to);

std::FILE* __wrap_fopen(const char* path, const char* mode) {
  const bool writes = std::string_view(mode).find_first_of("wa+") != std::string_view::npos;
  if (Fails(kOpen, path, writes)) return nullptr;
  std::FILE* file = __real_fopen(path, mode);
  if (file != nullptr) g_files[file] = {kOpen, std::filesystem::path(path).filename().string(), writes};
  return file;
}
std::size_t __wrap_fwrite(const void* bytes, std::size_t size, std::size_t count, std::FILE* file) {
  return __real_fwrite(bytes, size, Fails(kWrite, file) ? count / 2 : count, file);
}
int __wrap_fflush(std::FILE* file) { return __real_fflush(file) != 0 || Fails(kFlush, file) ? EOF : 0; }
int __wrap_fclose(std::FILE* file) {
  const bool fails = Fails(kClose, file);
  g_files.erase(file);
  return __real_fclose(file) != 0 || fails ? EOF : 0;
}
int __wrap_rename(const char* from, const char* to) { return Fails(kRename, to, true) ? -1 : __real_rename(from, to); }
}

namespace vosko::cli {
namespace {

using testing::Crlf;
using testing::ScratchDir;

// After every failure: exit code 2, the output named with "not changed" when a file being
// written failed, the outputs as they were (a kept script may also be the run's whole one),
// and no work file. A failing step on a file that is only read may also let the run finish.
TEST(VoskoCliFaults, EveryFileStepOfAnOutputFailsCleanly) {
  ScratchDir dir;
  const std::string good = dir.Write("good.lsq", Crlf("@@TITLE=T\nOne\n\nTwo\n"));
  const std::string in = dir.Write("in.txt", "A line to import\n");
  const struct {
    std::vector<std::string> args;
    std::string target;      // what the failure message names
    std::string also_whole;  // an output that may be old or the run's own
  } cases[] = {
      {{"compile", "-o", dir.Path("rquotes.pms"), good}, "rquotes.pms", ""},
      {{"compile", "-o", dir.Path("rquotes.pms"), "--script", dir.Path("kept.r"), good}, "", "kept.r"},
      {{"export", "-o", dir.Path("out.txt"), good}, "out.txt", ""},
      {{"import", "--title", "T", "--line-length", "46", in, dir.Path("new.lsq")}, "new.lsq", ""},
      {{"new", "--title", "T", dir.Path("new.lsq")}, "new.lsq", ""},
  };
  const std::vector<std::string> outputs = {"rquotes.pms", "kept.r", "out.txt", "new.lsq"};
  // The bytes of an output with the time of its making left out.
  auto read = [&](const std::string& name) {
    std::string bytes = testing::ReadBytes(dir.Path(name));
    std::replace_if(
        bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; }, '0');
    return bytes;
  };
  auto reset = [&] {
    for (const std::string& name : outputs) std::filesystem::remove(dir.Path(name));
    for (const char* name : {"rquotes.pms", "kept.r", "out.txt"}) dir.Write(name, "old");
  };
  for (const auto& c : cases) {
    reset();
    std::ostringstream out, err;
    g_steps.clear();
    g_fail = 0;
    g_counting = true;
    ASSERT_EQ(RunVosko(c.args, out, err), kExitOk) << c.args[0] << err.str();
    g_counting = false;
    std::map<std::string, std::string> clean;
    for (const std::string& name : outputs) clean[name] = read(name);
    const std::vector<Step> steps = g_steps;
    for (std::size_t fail = 1; fail <= steps.size(); ++fail) {
      reset();
      std::ostringstream fail_out, fail_err;
      g_steps.clear();
      g_fail = fail;
      g_counting = true;
      const int code = RunVosko(c.args, fail_out, fail_err);
      g_counting = false;
      const Step& step = steps[fail - 1];
      SCOPED_TRACE(c.args[0] + " " + c.target + c.also_whole + ": step " + std::to_string(fail) + " on " + step.file +
                   " (" + std::to_string(step.call) + ") " + fail_err.str());
      for (const auto& entry : std::filesystem::directory_iterator(dir.Path("")))
        EXPECT_NE(entry.path().extension().string(), ".tmp") << entry.path().string();
      const bool finished = code == kExitOk && !step.writes;
      if (!finished) {
        EXPECT_EQ(code, kExitFileError);
        EXPECT_TRUE(!step.writes || fail_err.str().find("not changed") != std::string::npos);
      }
      for (const std::string& name : outputs) {
        const std::string bytes = read(name);
        const std::string old = name == "new.lsq" ? read("absent") : "old";
        if (finished || (name == c.also_whole && bytes == clean[name])) {
          EXPECT_EQ(bytes, clean[name]) << name;
        } else {
          EXPECT_EQ(bytes, old) << name;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vosko::cli
#endif
