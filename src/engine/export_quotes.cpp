#include "engine/export_quotes.h"

#include <algorithm>
#include <optional>

#include "engine/quote_format.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

namespace vosko {
namespace {
// Export cuts a directive line at its "@@" and keeps what stands before it as text: a line
// 'Dinner at 8 @@ home' stays part of its quote here, unlike in the compile.
std::string_view WithoutDirective(std::string_view line) {
  const std::size_t at = line.find("@@");
  return at == std::string_view::npos ? line : line.substr(0, at);
}
}  // namespace

TextEncoding ExportEncoding(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    TextFile file;
    if (file.OpenConverted(path, nullptr) && IsUnicode(file.Encoding())) return TextEncoding::Utf8Bom;
  }
  return TextEncoding::Ansi;
}

int ExportQuoteFile(ExportRun& run, const std::string& path, std::string_view title) {
  TextFile file;
  const auto target = IsUnicode(run.encoding) ? TextFile::ReadAs::Utf8 : TextFile::ReadAs::Ansi;
  if (!file.OpenConverted(path, run.code_page, target)) {
    if (run.report) run.report->Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
    return -1;
  }
  return ExportQuoteFile(run, file, title);
}

int ExportQuoteFile(ExportRun& run, TextFile& file, std::string_view title) {
  if (!run.mark_written && IsUnicode(run.encoding)) run.out->Write(ByteOrderMark(run.encoding));
  run.mark_written = true;
  const std::int64_t file_size = std::max<std::int64_t>(0, file.SizeOnDisk());
  if (run.progress) run.progress->Show(title, 0, file_size, run.bytes_done, run.total_bytes, true);
  std::int64_t file_done = 0;
  int count = 0;
  bool open = false;
  for (std::string_view piece; !(piece = file.ReadPiece(kQuoteLineBuffer)).empty();) {
    const auto advance = static_cast<std::int64_t>(piece.size()) + 2;
    file_done += advance;
    run.bytes_done += advance;
    if (run.progress) run.progress->Show(std::nullopt, file_done, file_size, run.bytes_done, run.total_bytes, true);
    const std::string_view text = WithoutDirective(WithoutComment(WithoutLineEnd(CStringPart(piece))));
    if (IsBlankLine(text)) {
      open = false;
      continue;
    }
    if (!open) {
      if (run.any_quote) run.out->Write("\n");
      run.any_quote = open = true;
      ++count;
    } else {
      run.out->Write(" ");
    }
    run.out->Write(WithoutTrailingSpaces(text));  // leading spaces stay
  }
  if (run.progress) run.progress->Show(std::nullopt, 1, 1, run.bytes_done, run.total_bytes, true);
  return count;
}

}  // namespace vosko
