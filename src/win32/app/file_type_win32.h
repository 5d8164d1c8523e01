// Registration of the quote file type in the host's file-type list.
#pragma once

#include <windows.h>

namespace vosko {

void RegisterQuoteFileType(HWND host_window);

}  // namespace vosko
