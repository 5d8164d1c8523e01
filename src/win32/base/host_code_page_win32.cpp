#include "win32/base/host_code_page_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace vosko {
namespace {

// A code page the engine has no table for, converted by the system.
class SystemConversion final : public CodePage {
 public:
  explicit SystemConversion(UINT number) : number_(number) {}

  unsigned Number() const override { return number_; }

  void AppendUtf8(std::string_view ansi, std::string& utf8) const override {
    if (number_ == CP_UTF8) {
      utf8.append(ansi);
      return;
    }
    while (!ansi.empty()) {
      const std::size_t size = PieceSize(ansi);
      const int length = static_cast<int>(size);
      const int units = MultiByteToWideChar(number_, 0, ansi.data(), length, nullptr, 0);
      if (units > 0) {
        std::wstring wide(static_cast<std::size_t>(units), L'\0');
        MultiByteToWideChar(number_, 0, ansi.data(), length, wide.data(), units);
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
        if (bytes > 0) {
          const std::size_t at = utf8.size();
          utf8.resize(at + static_cast<std::size_t>(bytes));
          WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data() + at, bytes, nullptr, nullptr);
        }
      }
      ansi.remove_prefix(size);
    }
  }

  Fit Encode(char32_t character, std::string& ansi) const override {
    wchar_t units[2] = {};
    int count = 1;
    if (character >= 0xD800 && character <= 0xDFFF) return Fit::None;
    if (character > 0x10FFFF) return Fit::None;
    if (character >= 0x10000) {
      units[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
      units[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
      count = 2;
    } else {
      units[0] = static_cast<wchar_t>(character);
    }
    char bytes[8] = {};
    if (number_ == CP_UTF8) {
      // A system whose ANSI is UTF-8 holds every character.
      const int written = WideCharToMultiByte(CP_UTF8, 0, units, count, bytes, sizeof bytes, nullptr, nullptr);
      if (written <= 0) return Fit::None;
      ansi.append(bytes, static_cast<std::size_t>(written));
      return Fit::Exact;
    }
    // Without best fit first: only a character the page holds comes back without the
    // default character.
    BOOL defaulted = FALSE;
    int written =
        WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes, nullptr, &defaulted);
    if (written > 0 && !defaulted) {
      ansi.append(bytes, static_cast<std::size_t>(written));
      return Fit::Exact;
    }
    defaulted = FALSE;
    written = WideCharToMultiByte(number_, 0, units, count, bytes, sizeof bytes, nullptr, &defaulted);
    if (written <= 0 || defaulted) return Fit::None;
    ansi.append(bytes, static_cast<std::size_t>(written));
    return Fit::BestFit;
  }

 private:
  // How much of `ansi` to convert at once: all of it when it fits the system's int sizes,
  // otherwise a piece that ends between two characters (a lead byte keeps its trail byte).
  std::size_t PieceSize(std::string_view ansi) const {
    constexpr std::size_t kPiece = std::size_t{1} << 24;
    if (ansi.size() <= kPiece) return ansi.size();
    std::size_t at = 0;
    while (at < kPiece) at += IsDBCSLeadByteEx(number_, static_cast<BYTE>(ansi[at])) ? 2 : 1;
    return std::min(at, ansi.size());
  }

  UINT number_;
};

}  // namespace

std::unique_ptr<CodePage> SystemCodePage(unsigned number) { return std::make_unique<SystemConversion>(number); }

const CodePage& HostCodePage() {
  static const CodePage* const page = [] {
    const UINT number = GetACP();
    if (const CodePage* built_in = BuiltInCodePage(number)) return built_in;
    static const std::unique_ptr<CodePage> system = SystemCodePage(number);
    return static_cast<const CodePage*>(system.get());
  }();
  return *page;
}

}  // namespace vosko
