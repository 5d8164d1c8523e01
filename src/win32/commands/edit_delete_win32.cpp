#include "win32/commands/edit_delete_win32.h"

#include "win32/base/file_facts_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

namespace vosko {
namespace {

// The question was filled into a 260-byte buffer: a title that would not fit with the
// text leaves the text unfilled.
constexpr std::size_t kQuestionLimit = 260;

std::string DeleteQuestion(const std::string& title) {
  const std::string pattern = LoadTableString(IDS_DELETE_QUESTION);
  if (pattern.size() + title.size() > kQuestionLimit) return pattern.substr(0, kQuestionLimit);
  std::string question = pattern;
  ReplaceFirst(pattern, question, "%s", title);  // a "%" in the title stays text
  return question;
}

// An editor setting of blanks only names no program.
bool NoEditorSet(const char* editor) {
  return std::string_view(editor).find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

void EditQuoteFile() {
  if (g_state == nullptr) return;
  const int row = FocusedSelectedRow();
  if (row < 0) return;
  const std::optional<std::string> path = RowFilePath(row);
  if (!path) {
    ShowTableMessage(g_state->main_window, IDS_NO_VALID_FILENAME, 0, kStyleError);
    return;
  }
  const int show = g_state->maximize_editor != 0 ? SW_SHOWMAXIMIZED : SW_SHOW;
  HINSTANCE started = nullptr;
  if (NoEditorSet(g_state->text_editor)) {
    // No editor named (current systems seldom have the old default one): the shell opens
    // the file with the program it associates with it.
    started = ShellExecuteA(g_state->main_window, "open", path->c_str(), nullptr, nullptr, show);
  } else {
    // Quoted, so that the editor is given one file even when the folder holds spaces.
    const std::string parameters = "\"" + *path + "\"";
    started = ShellExecuteA(g_state->main_window, nullptr, g_state->text_editor, parameters.c_str(), nullptr, show);
  }
  const auto result = reinterpret_cast<INT_PTR>(started);
  if (result < 32) {
    ShowTableMessage(g_state->main_window, IDS_EDITOR_FAILED, static_cast<WORD>(result), kStyleError);
  }
}

void DeleteQuoteFile() {
  if (g_state == nullptr) return;
  const int row = FocusedSelectedRow();
  if (row < 0) return;
  const std::string question = DeleteQuestion(RowField(row, kColumnTitle).value_or(""));
  const std::string caption = LoadTableString(IDS_MESSAGE_CAPTION);
  if (MessageBoxA(g_state->main_window, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
    RemoveQuoteFile();
  }
}

void RemoveQuoteFile() {
  if (g_state == nullptr) return;
  const int row = FocusedSelectedRow();
  if (row < 0) return;
  // The name comes from the row's entry: with columns hidden the list holds no file name
  // cell, and a failed cell read must never turn into a path.
  const std::optional<std::string> path = RowFilePath(row);
  if (!path) return;
  if (!DeleteFileA(path->c_str())) {
    const DWORD error = GetLastError();
    if (MayStillExist(*path)) {
      ShowTableMessage(g_state->main_window, IDS_DELETE_FAILED, static_cast<WORD>(error), kStyleError);
      return;
    }
    // Already gone (another program removed it): the row goes too.
  }
  RemoveRow(row);
}

}  // namespace vosko
