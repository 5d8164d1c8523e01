// The scan of the quote folder into the list view: one catalog entry per quote file, with
// its title and author read from the file and its compile record from the settings file.
#pragma once

#include "engine/catalog_entry.h"

#include <windows.h>

#include <string>

namespace vosko {

// Inserts the eight columns, adds a row for every readable quote file of the quote folder
// and rebuilds the image list. 0 on success (an empty or missing folder included), 1 when a
// row could not be added or no image list could be made. A file that cannot be opened for
// update is reported with message 9 and skipped.
int ScanQuoteFolder();

// Adds the row of one file from its directory listing, with the given title and author and
// the file's compile record read from the settings file. The new row's index, or -1.
int AddCatalogEntry(const WIN32_FIND_DATAA& found, const std::string& title, const std::string& author);

// The directory listing of one file as the catalog uses it: bare name, size, and the two
// times in local time.
FileListing ListingOf(const WIN32_FIND_DATAA& found);

}  // namespace vosko
