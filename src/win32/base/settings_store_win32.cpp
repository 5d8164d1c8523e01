#include "win32/base/settings_store_win32.h"

#include "engine/settings_text.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/guards_win32.h"
#include "win32/base/table_message_win32.h"
#include "engine/list_columns.h"
#include "contract/resource_ids.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <vector>

namespace vosko {
namespace {

constexpr char kWrittenVersion[] = "1.10";

std::string Section() { return LoadTableString(IDS_SETTINGS_SECTION); }

// A whole section as the profile's section read gives it ("key=value" strings, each ended
// by a NUL), looked up in memory.
CompileRecordIndex ReadSection(const char* settings_file, const std::string& section) {
  // A section is no longer than the file: one read does, where doubling from a small buffer
  // would have the profile go through 100,000 records again for every try.
  const std::uint64_t file_size = static_cast<std::uint64_t>(SizeOnDisk(settings_file));
  std::vector<char> buffer(std::clamp<std::uint64_t>(file_size + 2, 64 * 1024, 256u << 20));
  for (;;) {
    const DWORD length =
        GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), settings_file);
    // A section that does not fit is cut and reported as the buffer size less two.
    if (length + 2 < buffer.size() || buffer.size() >= (256u << 20)) {
      return CompileRecordIndex::FromSection(std::string_view(buffer.data(), length + 1));
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The two sections of the settings file; a batch reads both before and after.
enum SectionIndex { kSettingsSection, kFilesSection, kSectionCount };
const UINT kSectionIds[kSectionCount] = {IDS_SETTINGS_SECTION, IDS_FILES_SECTION};

// The outermost batch's files and what the settings file must hold at its end.
struct OpenBatch {
  explicit OpenBatch(const VoskoState& state)
      : file(state.settings_file), copy(file + ".bak"), existed(FileExists(file)) {
    if (existed && CopyFileA(file.c_str(), copy.c_str(), FALSE) == FALSE) {
      refused = true;
      return;
    }
    // The copy of a read-only file would be read-only too, and then never replaced.
    if (existed) SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (int section = 0; section < kSectionCount; ++section) {
      expected[section] = ReadSection(file.c_str(), LoadTableString(kSectionIds[section]));
    }
  }

  bool Write(SectionIndex section, const std::string& key, const std::string& value) {
    if (refused) return false;
    // A key that already reads back as this value is left alone: every write rewrites the
    // whole file, which holds thousands of records.
    if (expected[section].HasValue(key, value)) return true;
    const bool written = WritePrivateProfileStringA(LoadTableString(kSectionIds[section]).c_str(), key.c_str(),
                                                    value.c_str(), file.c_str()) != FALSE;
    failed |= !written;
    expected[section].Set(key, value);
    return written;
  }

  bool End() {
    if (refused) return false;
    // The profile functions may keep the file in memory: let go of it, so that what follows
    // reads what the disk holds.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    bool kept = !failed;
    for (int section = 0; kept && section < kSectionCount; ++section) {
      kept = ReadSection(file.c_str(), LoadTableString(kSectionIds[section])).Holds(expected[section]);
    }
    if (kept) {
      if (existed) DeleteFileA(copy.c_str());
      return true;
    }
    // A copy that cannot be moved back stays beside the file for the user.
    if (existed) {
      MoveFileExA(copy.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
    } else {
      DeleteFileA(file.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    return false;
  }

  const std::string file;
  const std::string copy;
  const bool existed;
  bool refused = false;  // no copy could be made: nothing is written
  bool failed = false;   // a write said it failed
  CompileRecordIndex expected[kSectionCount];
};
std::unique_ptr<OpenBatch> g_open_batch;

// One key written in the open batch, or in a batch of its own.
bool WriteKey(const VoskoState& state, SectionIndex section, const std::string& key, const std::string& value) {
  if (g_open_batch) return g_open_batch->Write(section, key, value);
  SettingsBatch batch(state);
  const bool written = g_open_batch->Write(section, key, value);
  return batch.Finish() && written;
}

// Reads a four- or eight-field key into `fields`, which hold their initial values. An
// empty stored value keeps them all; otherwise the fields that scan replace them.
void ReadFields(const VoskoState& state, UINT key_id, const char* default_value, std::span<int> fields) {
  std::string text = ReadSettingText(state, key_id, default_value);
  if (text.empty()) return;
  ScanSettingFields(text, fields);
}

bool WriteFields(const VoskoState& state, UINT key_id, std::span<const int> values) {
  return WriteSettingText(state, key_id, FormatSettingFields(values));
}

bool WriteInt(const VoskoState& state, UINT key_id, int value) {
  return WriteSettingText(state, key_id, std::to_string(value));
}

void CopyPath(char (&target)[kPathSize], const std::string& value) {
  size_t length = value.size() < kPathSize - 1 ? value.size() : kPathSize - 1;
  value.copy(target, length);
  target[length] = '\0';
}

// Whether the file's last byte ends a line: the profile writer ends every line it writes,
// so a file that stops in a line was cut short.
bool EndsWithLineEnd(const std::string& path) {
  OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER back = {};
  back.QuadPart = -1;
  char last = 0;
  DWORD read = 0;
  return file.Valid() && SetFilePointerEx(file.get(), back, nullptr, FILE_END) != FALSE &&
         ReadFile(file.get(), &last, 1, &read, nullptr) != FALSE && read == 1 && last == '\n';
}

}  // namespace

bool RecoverSettingsCopy(const VoskoState& state) {
  const std::string file = state.settings_file;
  const std::string copy = file + ".bak";
  if (!FileExists(copy)) return false;
  bool restore = !FileExists(file) || !EndsWithLineEnd(file);
  for (int section = 0; !restore && section < kSectionCount; ++section) {
    const std::string name = LoadTableString(kSectionIds[section]);
    restore = !ReadSection(file.c_str(), name).HoldsKeys(ReadSection(copy.c_str(), name));
  }
  // A copy that can be neither moved back nor deleted stays for the next start.
  if (!restore) {
    DeleteFileA(copy.c_str());
  } else if (MoveFileExA(copy.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) == FALSE) {
    restore = false;
  }
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
  return restore;
}

SettingsBatch::SettingsBatch(const VoskoState& state) : outermost_(!g_open_batch) {
  if (outermost_) g_open_batch = std::make_unique<OpenBatch>(state);
}

SettingsBatch::~SettingsBatch() { Finish(); }

bool SettingsBatch::Finish() {
  if (!outermost_ || !g_open_batch) return true;
  outermost_ = false;
  const bool kept = g_open_batch->End();
  g_open_batch.reset();
  return kept;
}

std::string ReadSettingText(const VoskoState& state, UINT key_id, const char* default_value) {
  char value[kPathSize] = {};
  std::string section = Section();
  std::string key = LoadTableString(key_id);
  DWORD length =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value, value, sizeof value, state.settings_file);
  if (length >= sizeof value) length = sizeof value - 1;
  return std::string(value, length);
}

bool WriteSettingText(const VoskoState& state, UINT key_id, const std::string& value) {
  return WriteKey(state, kSettingsSection, LoadTableString(key_id), value);
}

void ReadWindowPosition(VoskoState& state) {
  int fields[4] = {5, 5, 0, 0};
  ReadFields(state, IDS_KEY_WINDOW_POSITION, "0005,0005,0000,0000", fields);
  state.window_x = fields[0];
  state.window_y = fields[1];
  state.window_width = fields[2];
  state.window_height = fields[3];
}

bool StoredVersionAsksRegistration(const VoskoState& state) {
  std::optional<double> version = ParseSettingVersion(ReadSettingText(state, IDS_KEY_VERSION, "0.99"));
  return !version || *version < 2.1;
}

void ReadColumnSettings(VoskoState& state) {
  state.column_widths.fill(20);
  ReadFields(state, IDS_KEY_COLUMN_WIDTHS, "0000,0000,0000,0000,0000,0000,0000,0000", state.column_widths);
  state.column_order.fill(0);
  ReadFields(state, IDS_KEY_COLUMN_ORDER, "0000,0001,0002,0003,0004,0005,0006,0007", state.column_order);
  state.stored_column_order = state.column_order;
  state.column_visible.fill(1);
  ReadFields(state, IDS_KEY_VISIBLE_COLUMNS, "0001,0001,0001,0001,0001,0001,0001,0001", state.column_visible);
  state.column_widths = WidthsByColumn(state.column_widths, state.column_visible);
  state.column_order = OrderByColumn(state.column_order, state.column_visible);
}

std::string DefaultTextEditor() {
  char entry[kPathSize] = {};
  std::string section = LoadTableString(IDS_WININI_EXTENSIONS);
  std::string key = LoadTableString(IDS_WININI_TXT);
  DWORD length = GetProfileStringA(section.c_str(), key.c_str(), "", entry, sizeof entry);
  if (length >= sizeof entry) length = sizeof entry - 1;
  return std::string(FirstWord(std::string_view(entry, length)));
}

void ReadSimpleSettings(VoskoState& state) {
  CopyPath(state.quote_folder, ReadSettingText(state, IDS_KEY_QUOTE_FOLDER, state.home_directory));
  std::string editor = DefaultTextEditor();
  CopyPath(state.text_editor, ReadSettingText(state, IDS_KEY_TEXT_EDITOR, editor.c_str()));
  state.close_after_paste = ParseSettingInt(ReadSettingText(state, IDS_KEY_CLOSE_AFTER_PASTE, "1"));
  state.maximize_editor = ParseSettingInt(ReadSettingText(state, IDS_KEY_MAXIMIZE_EDITOR, "1"));
  state.view_option = ParseSettingInt(ReadSettingText(state, IDS_KEY_VIEW_OPTION, "0"));
  // A hand-edited view that names none of the four is Large Icons.
  if (state.view_option < kViewLargeIcons || state.view_option > kViewDetails) state.view_option = kViewLargeIcons;
}

bool WriteSettingsOnClose(const VoskoState& state, const DetailsColumns* details) {
  SettingsBatch batch(state);
  const int position[4] = {state.window_x, state.window_y, state.window_width, state.window_height};
  // Every key is tried, whatever failed before it.
  bool written = WriteFields(state, IDS_KEY_WINDOW_POSITION, position);
  written &= WriteInt(state, IDS_KEY_CLOSE_AFTER_PASTE, state.close_after_paste);
  written &= WriteInt(state, IDS_KEY_MAXIMIZE_EDITOR, state.maximize_editor);
  written &= WriteSettingText(state, IDS_KEY_QUOTE_FOLDER, state.quote_folder);
  written &= WriteSettingText(state, IDS_KEY_TEXT_EDITOR, state.text_editor);
  written &= WriteInt(state, IDS_KEY_VIEW_OPTION, state.view_option);
  written &= WriteSettingText(state, IDS_KEY_VERSION, kWrittenVersion);
  // By position for the flags that are stored with them, so the next start shows what
  // this one showed.
  const ColumnValues& widths = details != nullptr ? details->widths : state.column_widths;
  written &= WriteFields(state, IDS_KEY_COLUMN_WIDTHS, WidthsByPosition(widths, state.column_visible));
  // Without the list's own order (a view without columns, or a list that never took the
  // stored one) the value goes back as the file held it: only a mended copy is applied.
  written &= WriteFields(
      state, IDS_KEY_COLUMN_ORDER,
      details != nullptr ? OrderByPosition(details->order, state.column_visible) : state.stored_column_order);
  // Which columns are shown is only known for sure in Details view.
  if (details != nullptr) written &= WriteFields(state, IDS_KEY_VISIBLE_COLUMNS, state.column_visible);
  return batch.Finish() && written;
}

std::string ReadCompileRecord(const VoskoState& state, const std::string& file_name) {
  char value[255] = {};
  const std::string section = LoadTableString(IDS_FILES_SECTION);
  DWORD length =
      GetPrivateProfileStringA(section.c_str(), file_name.c_str(), "", value, sizeof value, state.settings_file);
  if (length >= sizeof value) length = sizeof value - 1;
  return std::string(value, length);
}

// Reading the section key by key would read the settings file once per quote file, which
// makes a scan of thousands of files quadratic.
CompileRecordIndex ReadCompileRecords(const VoskoState& state) {
  return ReadSection(state.settings_file, LoadTableString(IDS_FILES_SECTION));
}

bool WriteCompileRecord(const VoskoState& state, const std::string& file_name, const std::string& record) {
  // A record that would be read back under another key, as a comment or as a section is not
  // written: the row keeps its counts until the list is built again.
  if (!CompileRecordIndex::Storable(file_name)) return true;
  return WriteKey(state, kFilesSection, file_name, record);
}

}  // namespace vosko
