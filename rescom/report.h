// The console report of the compiler. The batch file redirects it into rquotes.txt, and the DLL
// takes the first line that contains the letters "of" as the summary, reading the number of
// texts after "of" and the largest size after "=". So the summary line is fixed, and no line
// printed before it (errors included) may contain "of" in any case.
#pragma once

#include "diagnostic.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rescom {

// "Resource table of N entries, largest = M bytes"
std::string summary_line(std::uint32_t count, std::uint32_t largest);

// "NAME(LINE): error: MESSAGE"
std::string error_line(std::string_view script_name, const Diagnostic& d);

// "NAME: error: MESSAGE", for a problem with a whole file (reading, writing, memory).
std::string file_error_line(std::string_view name, std::string_view message);

// The last line after script errors: how many, and that no compiled file was written.
std::string failure_line(std::string_view script_name, std::size_t errors, bool stopped_early,
                         std::string_view output_name);

// User text (a word from the script, a file name) made safe to print: bytes outside printable
// ASCII and the quote character become \xHH, and so does every "f" that follows an "o", so
// that echoing a word like "proof" cannot fake the summary line.
std::string shown_user_text(std::string_view text);

// The number in decimal. The compiler formats its numbers itself: the C runtime's printf family
// would more than double the size of rescom.exe, which the DLL carries.
std::string decimal(std::uint64_t value);

// True when the text holds "of" in any case: the DLL's marker for the summary line.
bool contains_marker(std::string_view text);

}  // namespace rescom
