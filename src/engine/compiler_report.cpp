#include "engine/compiler_report.h"

#include <climits>

#include "engine/quote_format.h"
#include "engine/text_file.h"

namespace vosko {
namespace {

// The runtime's "%d" reading of a count: white space, an optional sign, digits; 0 without
// digits.  Held at the int range instead of overflowing.
int LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

// "NAME(LINE): error: MESSAGE": the line number and the message; other lines whole.
CompilerError ErrorOf(std::string_view line) {
  CompilerError error;
  error.message = std::string(line);
  const std::size_t marker = line.find("): error: ");
  if (marker == std::string_view::npos) return error;
  const std::size_t open = line.rfind('(', marker);
  if (open == std::string_view::npos || open + 1 == marker) return error;
  std::uint64_t number = 0;
  for (std::size_t i = open + 1; i < marker; ++i) {
    if (line[i] < '0' || line[i] > '9' || number > (UINT64_MAX - 9) / 10) return error;
    number = number * 10 + static_cast<std::uint64_t>(line[i] - '0');
  }
  error.script_line = number;
  error.message = std::string(line.substr(marker + 10));
  return error;
}

class ReportReader {
 public:
  // False once the summary has been read: the rest of the report does not matter.
  bool Line(std::string_view line) {
    const std::size_t of = line.find("of");
    if (of == std::string_view::npos) {
      if (line.find(": error") != std::string_view::npos && report_.errors.size() < kReportedCompilerErrors) {
        report_.errors.push_back(ErrorOf(line));
      }
      return true;
    }
    report_.summary_found = true;
    std::string_view after = line.substr(of + 2);
    if (const std::size_t entries = after.find("entries"); entries != std::string_view::npos) {
      report_.count = LeadingNumber(after.substr(0, entries));
    }
    if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      std::string_view size = line.substr(equals + 1);
      if (const std::size_t bytes = size.find("bytes"); bytes != std::string_view::npos) {
        report_.largest = LeadingNumber(size.substr(0, bytes));
      }
    }
    return false;
  }
  CompilerReport& report() { return report_; }

 private:
  CompilerReport report_;
};

std::string_view ReportLineText(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

CompilerReport ParseCompilerReport(std::string_view text) {
  ReportReader reader;
  reader.report().opened = true;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    end = end == std::string_view::npos ? text.size() : end + 1;
    if (!reader.Line(ReportLineText(text.substr(0, end)))) break;
    text.remove_prefix(end);
  }
  return reader.report();
}

CompilerReport ReadCompilerReport(const std::string& path) {
  ReportReader reader;
  TextFile file;
  if (!file.Open(path, "rt")) return reader.report();
  reader.report().opened = true;
  for (std::string_view piece; !(piece = file.ReadPiece(kQuoteLineBuffer)).empty();) {
    if (!reader.Line(ReportLineText(piece))) break;
  }
  return reader.report();
}

}  // namespace vosko
