// Text forms of the settings kept in the profile file: how the four- and eight-field
// keys, the switches and the stored version are scanned and written. Portable: the
// Win32 store reads and writes the profile, these routines turn values into text and back.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vosko {

// Scans up to fields.size() decimal fields separated by single commas. Each field is at
// most four characters including an optional sign, after optional leading blanks.
// Scanning stops at the first field (or comma) that does not match; fields scanned before
// it are stored, the others keep what they held. Returns the number of fields stored.
// "12345,0010" stores 1234 and stops: the fifth digit is not the comma.
int ScanSettingFields(std::string_view text, std::span<int> fields);

// "%04d,%04d,..." of the values: at least four characters each, zero-padded after the sign.
std::string FormatSettingFields(std::span<const int> values);

// The C runtime's atoi: leading blanks, optional sign, digits up to the first other
// character; no digits gives 0. Values beyond the int range saturate instead of wrapping.
int ParseSettingInt(std::string_view text);

// The stored version as a floating-point number ("%lf"); nothing when the text does not
// start with a number.
std::optional<double> ParseSettingVersion(std::string_view text);

// The first word of a WIN.INI [Extensions] entry ("notepad.exe ^.txt" -> "notepad.exe"):
// leading blanks skipped, up to the next blank. Empty when there is no word.
std::string_view FirstWord(std::string_view text);

}  // namespace vosko
