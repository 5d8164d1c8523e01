// The scan of the quote folder: one catalog entry per quote file, with its title and author
// read from the file and its compile record from the settings file. The scan touches no
// control: the main window puts the entries into the list.
#pragma once

#include "engine/catalog_entry.h"

#include <memory>
#include <vector>

namespace vosko {

// The entries of every readable quote file of the quote folder, in directory order; none for
// an empty or missing folder. A file that cannot be opened for update is reported with
// IDS_OPEN_FAILED and skipped; only the first such file is reported as it comes, the others
// are counted in one message (IDS_SCAN_REPEATS) at the end of the scan.
std::vector<std::unique_ptr<CatalogEntry>> ScanQuoteFolder();

}  // namespace vosko
