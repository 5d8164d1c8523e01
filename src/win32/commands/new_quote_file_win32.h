// The three dialogs that create a quote file ("New Quote File", "Recompile into New Quote
// File", "Import Quote File") and the operation behind them. The launcher is told the mode.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vosko {

// What the new file is made from: the template alone, the host's quotes file recompiled, or
// a text file imported.
enum class QuoteFileMode { New, Recompile, Import };

struct QuoteFileDialogInputs {
  QuoteFileMode mode = QuoteFileMode::New;
};

// Opens the dialog of `inputs.mode` (NEWQUOTEFILE, RECOMPILE or IMPORT), owned by `owner`.
// True when a quote file was made.
bool RunQuoteFileDialog(HWND owner, const QuoteFileDialogInputs& inputs);

// The procedure of NEWQUOTEFILE, RECOMPILE and IMPORT: OK checks the fields (IDS_TITLE_MISSING,
// IDS_IMPORT_NAME_MISSING, IDS_LINE_LENGTH_INVALID, IDS_PATH_TOO_LONG) and creates the file; the dialog ends with 1
// only when the file was made. The dialog's lParam at creation is its QuoteFileDialogInputs.
INT_PTR CALLBACK NewQuoteFileDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Creates the quote file in the quote folder: the typed name plus ".lsq", or a tick-count
// name when none was typed or the typed one exists (never overwritten); writes the template,
// then the recompiled or imported quotes in those modes; lists the file as the only selected
// row. 0 on success; non-zero when the dialog should stay open (the reason was shown, except
// when the file vanished or the list could not take it).
int CreateQuoteFile(QuoteFileMode mode, const std::string& title, const std::string& file_name,
                    const std::string& author, const std::string& import_file, std::int64_t line_length);

}  // namespace vosko
