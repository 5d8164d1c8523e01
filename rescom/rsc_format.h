// The compiled quotes file (rquotes.rsc, installed as rquotes.pms): layout, encoder and decoder.
//
// The host and our own recompile reader skip everything up to the first byte 0xFF and take
// the rest as NUL-terminated texts, so the leading block is plain ASCII (fixed-width upper-case
// hexadecimal) and can never contain 0xFF. docs/rquotes-format.md holds the byte-level table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rescom {

inline constexpr std::string_view kSignature = "VOSKOQTS";
inline constexpr std::uint32_t kFormatVersion = 1;

// Field widths in hexadecimal digits; offsets follow from them.
inline constexpr std::size_t kVersionDigits = 4;
inline constexpr std::size_t kNumberDigits = 8;
inline constexpr std::size_t kFixedHeaderSize = 8 /*signature*/ + kVersionDigits + 3 * kNumberDigits;  // 36
inline constexpr unsigned char kHeaderEnd = 0xFF;

// Every number in the file is 32-bit, so the text area (texts plus their terminators) must
// stay below 4 GiB.
inline constexpr std::uint64_t kMaxAreaSize = 0xFFFFFFFFu;

// What the leading block says about the texts that follow it.
struct RscSummary {
  std::uint32_t count = 0;      // number of texts
  std::uint32_t largest = 0;    // largest text in bytes, its terminator included (0 if none)
  std::uint32_t area_size = 0;  // bytes after the 0xFF: every text and its NUL
};

// Size of the whole leading block, the closing 0xFF included, for `count` texts.
constexpr std::uint64_t header_size(std::uint64_t count) { return kFixedHeaderSize + count * kNumberDigits + 1; }

// The summary of texts seen one at a time, so that a writer need not keep their lengths.
class SummaryBuilder {
 public:
  // Adds a text of `length` bytes (terminator not included). False once the texts no longer
  // fit the format's 32-bit fields; the builder then stays failed.
  bool add(std::uint64_t length);
  bool ok() const { return ok_; }
  const RscSummary& summary() const { return summary_; }

 private:
  RscSummary summary_;
  bool ok_ = true;
};

// Builds the summary from the text lengths (terminators not included). False when the texts
// do not fit the format's 32-bit fields.
bool summarize(const std::vector<std::uint32_t>& lengths, RscSummary& out);

// The leading block in its parts, for a writer that fills the index in as the texts come: the
// fixed part (signature, version, the three numbers), then one index entry per text (kNumberDigits
// bytes each), then kHeaderEnd.
void append_fixed_header(std::string& out, const RscSummary& summary);
void append_index_entry(std::string& out, std::uint32_t offset);

// Appends the leading block for texts of the given lengths (terminators not included) to `out`,
// the closing 0xFF included. `summary` must come from summarize() over the same lengths.
void append_header(std::string& out, const RscSummary& summary, const std::vector<std::uint32_t>& lengths);

// A decoded file, for readers that want text i without scanning. Views point into the bytes
// given to decode_rsc().
struct RscFile {
  std::uint32_t version = 0;
  RscSummary summary;
  std::vector<std::uint32_t> offsets;  // from the first byte after 0xFF
  std::string_view area;               // the texts with their terminators

  std::string_view text(std::size_t i) const;  // without its terminator
};

// Strict decoder: checks the signature, the version, every field, that the index matches the
// NUL-separated area and that nothing follows the last text. Returns nothing and fills `why`
// when the bytes are not a file of this format.
std::optional<RscFile> decode_rsc(std::string_view bytes, std::string* why = nullptr);

}  // namespace rescom
