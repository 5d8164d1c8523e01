// Edit and Delete: the two commands that act on the one quote file whose row has both the
// focus and the selection. Without such a row both do nothing.
#pragma once

namespace vosko {

// Starts the text editor on the quote file, its path in double quotes so that a quote
// folder with spaces still names one file; with no editor set (blanks only), the shell opens
// the file with its own association. Message 48 when neither can be started.
void EditQuoteFile();

// Asks (IDS_DELETE_QUESTION with the title) and, on Yes, runs RemoveQuoteFile.
void DeleteQuoteFile();

// Deletes the quote file and its row; the next row (or the new last row) becomes focused
// and selected. A file that is already gone loses its row silently; a file that is still
// there after a failed delete (held open, read-only) keeps its row and is reported.
void RemoveQuoteFile();

}  // namespace vosko
