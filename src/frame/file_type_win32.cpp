#include "frame/file_type_win32.h"

namespace vosko {

// The host's file-type list gets its quote-file line in a later release; until then
// start-up leaves the list alone.
void RegisterQuoteFileType(HWND) {}

}  // namespace vosko
