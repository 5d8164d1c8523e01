// rescom: compiles a quote resource script into the compiled quotes file.
//
// The DLL writes this program out of its resources and runs it from a batch file as
// "rescom rquotes.r > rquotes.txt", then reads the counts back from rquotes.txt. Everything it
// prints therefore goes to standard output, and nothing before the summary line may contain the
// marker the DLL looks for (see report.h). Usage errors alone go to standard error.
#include "compiler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(_WIN32) && defined(__GLIBCXX__)
// libstdc++'s default terminate handler demangles the type of the exception it reports, which
// links its whole demangler and the C99 printf into the program: a third of rescom.exe. The
// only exception that can reach it here is a failed allocation, which compile_file() already
// turns into exit code 2, so a plain abort loses nothing.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

namespace {

const char kUsage[] =
    "Usage: rescom [-o OUTPUT] SCRIPT\n"
    "\n"
    "Compiles a quote resource script (such as rquotes.r) into a compiled quotes\n"
    "file. The output goes beside the script with the extension .rsc, unless -o\n"
    "names another file.\n"
    "\n"
    "Exit codes: 0 done, 1 errors in the script, 2 a file could not be read or\n"
    "written, 3 bad usage.\n";

int usage_error(const char* message) {
  std::fputs("rescom: ", stderr);
  std::fputs(message, stderr);
  std::fputs("\n", stderr);
  std::fputs(kUsage, stderr);
  return rescom::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::string script;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "/?") == 0) {
      std::fputs(kUsage, stdout);
      return rescom::kExitOk;
    }
    if (std::strcmp(arg, "-o") == 0) {
      if (i + 1 >= argc) return usage_error("-o needs a file name");
      if (!output.empty()) return usage_error("-o given twice");
      output = argv[++i];
      if (output.empty()) return usage_error("-o needs a file name");
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return usage_error("unknown option");
    } else if (!script.empty()) {
      return usage_error("only one script at a time");
    } else {
      script = arg;
    }
  }
  if (script.empty()) return usage_error("no script given");
  if (output.empty()) output = rescom::default_output_path(script);
  if (output == script) return usage_error("the output would replace the script");

  const rescom::CompileOutcome outcome = rescom::compile_file(script, output);
  for (const std::string& line : outcome.lines) {
    std::fputs(line.c_str(), stdout);
    std::fputs("\n", stdout);
  }
  std::fflush(stdout);
  return outcome.exit_code;
}
