// Paste: the clipboard's text appended as a new quote to the quote file of the row that has
// both the focus and the selection.
#pragma once

namespace vosko {

// True when the whole text was appended (and IDS_PASTE_ADDED shown). Every other way out (no
// such row, no text, a text without an end, a file that cannot be appended to) leaves the
// file as it was; a write that fails half way is undone and reported with IDS_FILE_WRITE_FAILED.
bool PasteClipboardQuote();

}  // namespace vosko
