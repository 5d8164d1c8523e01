// Send: the selected quote files handed to the shell's mail-recipient drop target, as if
// they had been dragged onto it, through a data object that offers their paths as CF_HDROP.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace vosko {

// Nothing is reported: no selection, a target that cannot be made and a refused drop all
// end the command quietly. Without a selected row COM is not touched.
void SendSelectedQuoteFiles();

// A data object (its own format enumerator) that offers `paths` as a CF_HDROP block in
// global memory. It counts references: the caller holds the first. Null when out of memory.
IDataObject* NewQuoteFileDataObject(const std::vector<std::string>& paths);

}  // namespace vosko
