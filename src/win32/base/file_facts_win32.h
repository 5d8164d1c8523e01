// What the commands ask the file system about one path: whether something is there, how
// large a file is, and a file's directory listing as the catalog shows it.
#pragma once

#include "engine/catalog_entry.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace vosko {

// True when anything, a file or a folder, has this path.
bool PathExists(const std::string& path);
// True when a file, not a folder, has this path.
bool FileExists(const std::string& path);
// False only when the file system says that nothing has this path: any other failure to
// look (access denied, a locked file) leaves the file possibly there.
bool MayStillExist(const std::string& path);

// A 64-bit size from the two halves the file system gives.
std::uint64_t FileSizeOf(DWORD high, DWORD low);
// The size of the file at `path` as the file system reports it; 0 when it reports none.
std::int64_t SizeOnDisk(const std::string& path);

// The directory listing of one file as the catalog uses it: bare name, size, and the two
// times in local time.
FileListing ListingOf(const WIN32_FIND_DATAA& found);

}  // namespace vosko
