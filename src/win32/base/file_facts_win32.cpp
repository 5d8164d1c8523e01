#include "win32/base/file_facts_win32.h"

#include "win32/base/regional_settings_win32.h"

namespace vosko {
namespace {

CalendarTime LocalTimeOf(const FILETIME& utc) {
  FILETIME local = {};
  SYSTEMTIME time = {};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return {};
  return CalendarTimeOf(time);
}

}  // namespace

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool MayStillExist(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::uint64_t FileSizeOf(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

std::int64_t SizeOnDisk(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return static_cast<std::int64_t>(FileSizeOf(data.nFileSizeHigh, data.nFileSizeLow));
}

FileListing ListingOf(const WIN32_FIND_DATAA& found) {
  FileListing listing;
  listing.name = found.cFileName;
  listing.size = FileSizeOf(found.nFileSizeHigh, found.nFileSizeLow);
  listing.created = LocalTimeOf(found.ftCreationTime);
  listing.written = LocalTimeOf(found.ftLastWriteTime);
  return listing;
}

}  // namespace vosko
