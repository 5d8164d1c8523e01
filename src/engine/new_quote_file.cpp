#include "engine/new_quote_file.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "engine/import_text.h"
#include "engine/recompile.h"
#include "engine/catalog_entry.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

namespace vosko {
namespace {

constexpr unsigned kExtension = 45;    // ".lsq"
constexpr unsigned kTime = 29;         // "@@TIME@@"
constexpr unsigned kDate = 30;         // "@@DATE@@"
constexpr unsigned kDescription = 32;  // "@@DESCRIPTION@@"
constexpr unsigned kAuthor = 65;       // "@@AUTHOR@@"
constexpr unsigned kTemplateFirst = 400;
constexpr unsigned kTemplateLast = 458;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsDeviceName(std::string_view name) {
  // Windows takes the part before the first dot, trailing blanks removed, as the device.
  std::string stem = Lower(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static constexpr std::array<std::string_view, 6> kDevices = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::optional<std::string> NewQuoteFilePath(std::string_view folder, std::string_view name) {
  return QuoteFilePath(folder, std::string(name).append(TableText(kExtension)));
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
  }
  return CompileRecordIndex::Storable(name) && !IsDeviceName(name);
}

void WriteQuoteFileTemplate(TextFile& out, std::string_view title, std::string_view author, std::string_view date,
                            std::string_view time) {
  const std::array<std::pair<std::string_view, std::string_view>, 4> fills = {{
      {TableText(kDescription), title},
      {TableText(kTime), time},
      {TableText(kDate), date},
      {TableText(kAuthor), author},
  }};
  for (unsigned id = kTemplateFirst; id <= kTemplateLast; ++id) {
    std::string line(TableText(id));
    line += '\n';
    for (const auto& [find, replacement] : fills) ReplaceFirst(line, line, find, replacement);
    out.Write(line);
  }
}

bool OpenNewQuoteFileSource(const NewQuoteFileSource& source, TextFile& in, EngineReport* report) {
  switch (source.kind) {
    case NewQuoteFileSource::Kind::Import:
      if (in.OpenConverted(source.path, source.code_page)) {
        if (IsUnicode(in.Encoding()) && !in.Replaced().empty()) {
          return in.OpenConverted(source.path, source.code_page, TextFile::ReadAs::Utf8);
        }
        return true;
      }
      if (report) report->Report(IDS_IMPORT_OPEN_FAILED, 0, ReportIcon::Stop, ReportOwner::MainWindow);
      return false;
    case NewQuoteFileSource::Kind::Recompile:
      if (in.Open(source.path, "rb")) return true;
      if (report) report->Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::None);
      return false;
    case NewQuoteFileSource::Kind::Template:
      break;
  }
  return true;
}

void WriteNewQuoteFile(TextFile& out, std::string_view title, std::string_view author, std::string_view date,
                       std::string_view time, const NewQuoteFileSource& source, TextFile& in, EngineReport* report) {
  if (source.kind == NewQuoteFileSource::Kind::Import && in.Target() == TextFile::ReadAs::Utf8) {
    // A UTF-8 quote file: its mark, then the template's ANSI text as UTF-8.
    std::string ansi;
    TextFile text;
    text.OpenMemory(ansi, "wb");
    WriteQuoteFileTemplate(text, title, author, date, time);
    text.Close();
    const CodePage& page = source.code_page ? *source.code_page : *BuiltInCodePage(kDefaultCodePage);
    std::string utf8(ByteOrderMark(TextEncoding::Utf8Bom));
    page.AppendUtf8(ansi, utf8);
    out.Write(utf8);
  } else {
    WriteQuoteFileTemplate(out, title, author, date, time);
  }
  switch (source.kind) {
    case NewQuoteFileSource::Kind::Import:
      ImportTextFile(out, in, source.line_length);
      break;
    case NewQuoteFileSource::Kind::Recompile:
      RecompileHostQuotes(out, in, report);
      break;
    case NewQuoteFileSource::Kind::Template:
      break;
  }
}

void WriteNewQuoteFile(TextFile& out, std::string_view title, std::string_view author, std::string_view date,
                       std::string_view time, const NewQuoteFileSource& source, EngineReport* report) {
  TextFile in;
  if (OpenNewQuoteFileSource(source, in, report)) WriteNewQuoteFile(out, title, author, date, time, source, in, report);
}

}  // namespace vosko
