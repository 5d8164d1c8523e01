// The settings kept in section "Vosko" of the profile file Tarno.pm in the host's home
// directory. Start-up reads every key into the state record; the closing routine and the
// Options dialog write them back. Between those moments the record is the only copy.
// Section "VoskoFiles" of the same file keeps each quote file's compile record. This module
// is the only reader and writer of the settings file.
#pragma once

#include "engine/catalog_entry.h"
#include "win32/base/vosko_state_win32.h"

#include <array>
#include <string>

namespace vosko {

// Every write of the settings file belongs to a batch. The outermost batch copies the file
// aside (Tarno.pm.bak, in the same folder) and reads its two sections; its end reads them
// again and, when a write failed, a key written does not read back or any other key went
// missing, moves the copy back over the file: a profile writer may report success and
// leave the file cut short. A batch opened inside another joins it; a write outside any
// batch is a batch of its own. Without a copy nothing is written.
class SettingsBatch {
 public:
  explicit SettingsBatch(const VoskoState& state);
  // Ends the batch as Finish does, unreported.
  ~SettingsBatch();
  SettingsBatch(const SettingsBatch&) = delete;
  SettingsBatch& operator=(const SettingsBatch&) = delete;
  // False when the file is back as it was before the batch (or nothing could be written);
  // an inner batch answers true and leaves the answer to the outermost one.
  bool Finish();

 private:
  bool outermost_;
};

// Start-up, before anything is read: a copy left beside the settings file (a batch that
// never ended: the process died) is moved back when the file lost a key or record the copy
// holds, or ends in the middle of a line; otherwise the file is the newer whole state and
// the copy is deleted. True when the copy was moved back.
bool RecoverSettingsCopy(const VoskoState& state);

// Reads one key of section "Vosko" (key named by string id) with a default; values are
// cut to 259 characters, as the profile functions cut them.
// A write is false when the profile could not be written (inside a batch: when the call
// failed; the batch's end tells whether the file kept it).
std::string ReadSettingText(const VoskoState& state, UINT key_id, const char* default_value);
bool WriteSettingText(const VoskoState& state, UINT key_id, const std::string& value);

// Start-up reads, in the order start-up runs them.
void ReadWindowPosition(VoskoState& state);
bool StoredVersionAsksRegistration(const VoskoState& state);
// Reads the widths, order and visible flags of the columns. The file keeps widths and order
// by the position a column had in the list at close; the record keeps them by column
// number (engine/list_columns.h), so they are turned round once the flags are known.
void ReadColumnSettings(VoskoState& state);
// The quote folder, the editor, the paste and editor flags, and the view (0 to 3: another
// stored value is Large Icons).
void ReadSimpleSettings(VoskoState& state);

// The editor default: the first word of WIN.INI [Extensions] txt, or empty.
std::string DefaultTextEditor();

// What the closing routine writes for the columns in Details view: the list view's widths
// and its current display order, both by column number (they are stored by position). Null
// in the other views, where the record's values are written back.
struct DetailsColumns {
  std::array<int, kColumnCount> widths{};
  std::array<int, kColumnCount> order{};
};

// Writes every key back in the closing routine's order; `details` is the list view's
// state when the window closes in Details view. False when any key could not be written
// (the others are written all the same).
bool WriteSettingsOnClose(const VoskoState& state, const DetailsColumns* details);

// One quote file's compile record in "VoskoFiles", as the profile gives it (cut at 254
// characters), or empty.
std::string ReadCompileRecord(const VoskoState& state, const std::string& file_name);
// The whole "VoskoFiles" section at once, for a scan of the quote folder.
CompileRecordIndex ReadCompileRecords(const VoskoState& state);
// False when the record could not be written. A name the settings file cannot hold as a key
// (CompileRecordIndex::Storable) stores nothing, and that is no failure.
bool WriteCompileRecord(const VoskoState& state, const std::string& file_name, const std::string& record);

}  // namespace vosko
