#include "rsc_format.h"

#include <cstring>

namespace rescom {
namespace {

void append_hex(std::string& out, std::uint32_t value, std::size_t digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  char buffer[16];
  for (std::size_t i = digits; i-- > 0;) {
    buffer[i] = kDigits[value & 0xF];
    value >>= 4;
  }
  out.append(buffer, digits);
}

// Only the upper-case digits the writer produces are accepted, so that every file has exactly
// one spelling.
bool read_hex(std::string_view bytes, std::size_t at, std::size_t digits, std::uint32_t& value) {
  if (at + digits > bytes.size()) return false;
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = bytes[at + i];
    unsigned d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    v = (v << 4) | d;
  }
  value = v;
  return true;
}

std::optional<RscFile> fail(std::string* why, const char* text) {
  if (why) *why = text;
  return std::nullopt;
}

}  // namespace

bool SummaryBuilder::add(std::uint64_t length) {
  const std::uint64_t stored = length + 1;
  const std::uint64_t area = std::uint64_t{summary_.area_size} + stored;
  if (!ok_ || length >= kMaxAreaSize || area > kMaxAreaSize || summary_.count == kMaxAreaSize) {
    ok_ = false;
    return false;
  }
  summary_.area_size = static_cast<std::uint32_t>(area);
  if (stored > summary_.largest) summary_.largest = static_cast<std::uint32_t>(stored);
  ++summary_.count;
  return true;
}

bool summarize(const std::vector<std::uint32_t>& lengths, RscSummary& out) {
  SummaryBuilder builder;
  for (std::uint32_t length : lengths) {
    if (!builder.add(length)) return false;
  }
  out = builder.summary();
  return true;
}

void append_fixed_header(std::string& out, const RscSummary& summary) {
  out.append(kSignature);
  append_hex(out, kFormatVersion, kVersionDigits);
  append_hex(out, summary.count, kNumberDigits);
  append_hex(out, summary.largest, kNumberDigits);
  append_hex(out, summary.area_size, kNumberDigits);
}

void append_index_entry(std::string& out, std::uint32_t offset) { append_hex(out, offset, kNumberDigits); }

void append_header(std::string& out, const RscSummary& summary, const std::vector<std::uint32_t>& lengths) {
  out.reserve(out.size() + header_size(lengths.size()));
  append_fixed_header(out, summary);
  std::uint32_t offset = 0;
  for (std::uint32_t length : lengths) {
    append_index_entry(out, offset);
    offset += length + 1;
  }
  out.push_back(static_cast<char>(kHeaderEnd));
}

std::string_view RscFile::text(std::size_t i) const {
  const std::uint32_t begin = offsets[i];
  const std::uint32_t end = i + 1 < offsets.size() ? offsets[i + 1] : summary.area_size;
  return area.substr(begin, end - begin - 1);
}

std::optional<RscFile> decode_rsc(std::string_view bytes, std::string* why) {
  if (bytes.size() < header_size(0) || bytes.substr(0, kSignature.size()) != kSignature)
    return fail(why, "signature missing");
  RscFile file;
  std::size_t at = kSignature.size();
  if (!read_hex(bytes, at, kVersionDigits, file.version)) return fail(why, "bad version field");
  if (file.version != kFormatVersion) return fail(why, "unknown version");
  at += kVersionDigits;
  if (!read_hex(bytes, at, kNumberDigits, file.summary.count) ||
      !read_hex(bytes, at + kNumberDigits, kNumberDigits, file.summary.largest) ||
      !read_hex(bytes, at + 2 * kNumberDigits, kNumberDigits, file.summary.area_size))
    return fail(why, "bad count, largest or area field");
  at += 3 * kNumberDigits;

  const std::uint64_t head = header_size(file.summary.count);
  if (head + file.summary.area_size != bytes.size()) return fail(why, "file size does not match the header");
  if (static_cast<unsigned char>(bytes[head - 1]) != kHeaderEnd) return fail(why, "leading block not closed by 0xFF");
  if (std::memchr(bytes.data(), kHeaderEnd, head - 1) != nullptr) return fail(why, "0xFF inside the leading block");

  file.area = bytes.substr(head);
  file.offsets.reserve(file.summary.count);
  std::uint32_t expected = 0;
  std::uint32_t largest = 0;
  for (std::uint32_t i = 0; i < file.summary.count; ++i, at += kNumberDigits) {
    std::uint32_t offset;
    if (!read_hex(bytes, at, kNumberDigits, offset)) return fail(why, "bad index entry");
    if (offset != expected) return fail(why, "index entry does not match the texts");
    const void* nul = std::memchr(file.area.data() + offset, 0, file.area.size() - offset);
    if (nul == nullptr) return fail(why, "text without terminator");
    const auto next = static_cast<std::uint32_t>(static_cast<const char*>(nul) - file.area.data()) + 1;
    if (next - offset > largest) largest = next - offset;
    file.offsets.push_back(offset);
    expected = next;
  }
  if (expected != file.summary.area_size) return fail(why, "bytes after the last text");
  if (largest != file.summary.largest) return fail(why, "largest size does not match");
  return file;
}

}  // namespace rescom
