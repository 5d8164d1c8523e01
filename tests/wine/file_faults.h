// Makes the Nth call of one file function of a module fail, through that module's import
// table (import_patch.h): the C runtime's fopen, fwrite, fflush and fclose under TextFile,
// and the kernel's file calls that commands make themselves.  Every call is counted and
// remembered with the file it concerns, so a test can first run a command cleanly to learn
// its steps and then fail each of them in turn.
#pragma once

#include "import_patch.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vtest {

enum class FileCall {
  kFopen,
  kFwrite,
  kFflush,
  kFclose,
  kCreateFile,
  kWriteFile,
  kCloseHandle,
  kCopyFile,
  kMoveFileEx,
  kGetTempFileName,
  kWriteProfileString,
};
constexpr int kFileCallCount = 11;
const char* FileCallName(FileCall call);

// One call the module made: which function, its occurrence among the calls of that function
// (from 1), and the bare name of the file (the key, for a profile write).
struct FileStep {
  FileCall call;
  int nth = 0;
  std::string file;
};

// A failing write writes half of its bytes first, a failing close still closes: what a full
// disk or a lost network drive leaves behind.  Only one set of patches may live at a time.
class FileFaults {
 public:
  explicit FileFaults(HMODULE module);
  ~FileFaults();
  FileFaults(const FileFaults&) = delete;
  FileFaults& operator=(const FileFaults&) = delete;

  // False when the module imports none of the functions (then nothing can be failed).
  bool ok() const;
  // Starts counting afresh; `fail` (nth 0: none) is the one call that fails.
  void Arm(const FileStep& fail = {FileCall::kFopen, 0, ""});
  void Disarm();
  const std::vector<FileStep>& steps() const;
  // Whether the armed failure happened.
  bool fired() const;

 private:
  std::vector<std::unique_ptr<ImportPatch>> patches_;
};

}  // namespace vtest
