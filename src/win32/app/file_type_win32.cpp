#include "win32/app/file_type_win32.h"

#include "contract/host_contract.h"
#include "win32/base/guards_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "contract/resource_ids.h"

#include <cstring>
#include <fstream>
#include <string>

namespace vosko {
namespace {

namespace host = vosko::host;

constexpr char kFileTypeName[] = "\\filetype.pm";

// The path of the host's file-type list, or empty when the host names no directory or one
// too long for the path to fit in 259 characters. The buffer handed over is larger than
// the 260 bytes the host is told about, so a host that writes past them overruns nothing.
std::string FileTypeListPath(HWND host_window) {
  char answer[1024] = {};
  if (SendMessageA(host_window, host::kQueryFileTypeDirectory, host::kHomeDirectorySize,
                   reinterpret_cast<LPARAM>(answer)) == 0) {
    return {};
  }
  const size_t length = strnlen(answer, host::kHomeDirectorySize);
  std::string path = std::string(answer, length) + kFileTypeName;
  if (length >= static_cast<size_t>(host::kHomeDirectorySize) || path.size() >= static_cast<size_t>(kPathSize)) {
    return {};
  }
  return path;
}

// A line holds the registration when it begins with it, in any letter case.
bool ListHoldsLine(std::ifstream& list, const std::string& line) {
  std::string text;
  while (std::getline(list, text)) {
    if (text.size() >= line.size() && _strnicmp(text.c_str(), line.c_str(), line.size()) == 0) return true;
  }
  return false;
}

// Appends `bytes` to the end of the existing file in one write, or leaves the file as it
// was: a write or close that fails cuts it back to its old end, so the host never reads
// half a line.
void AppendWhole(const std::string& path, const std::string& bytes) {
  OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER end = {};
  const LARGE_INTEGER zero = {};
  if (!file.Valid() || !SetFilePointerEx(file.get(), zero, &end, FILE_END)) return;
  DWORD written = 0;
  if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size()) {
    if (file.Close()) return;
    // What the failed close kept is unknown: the file is opened again and cut back.
    file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr));
    if (!file.Valid()) return;
  }
  SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
  SetEndOfFile(file.get());
}

}  // namespace

void RegisterQuoteFileType(HWND host_window) {
  const std::string path = FileTypeListPath(host_window);
  if (path.empty()) {
    ShowTableMessage(host_window, IDS_HOST_ERROR, 0, kStyleError);
    return;
  }
  const std::string line = LoadTableString(IDS_FILE_TYPE_LINE);
  {
    std::ifstream list(path, std::ios::binary);
    if (!list) {
      ShowTableMessage(host_window, IDS_NO_FILE_TYPE_LIST, 0, kStyleError);
      return;
    }
    if (ListHoldsLine(list, line)) return;
  }
  // A list marked read-only stays as it is, even for a user whom the file system would let
  // write it; one that cannot be written is left alone too, unreported.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return;
  // The line gets a line end of its own, so that whatever the host appends later starts a
  // line of its own.
  AppendWhole(path, "\r\n" + line + "\r\n");
}

}  // namespace vosko
