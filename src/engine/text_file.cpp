#include "engine/text_file.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include <sys/stat.h>

namespace vosko {
namespace {

// Large enough that a streaming pass spends its time in memchr and memcpy, not in the runtime.
// Buffers start small and grow to these sizes once a file proves large: a catalog scan opens
// many small files.
constexpr std::size_t kSmallBuffer = 8 * 1024;
constexpr std::size_t kInputChunk = 128 * 1024;
constexpr std::size_t kOutputBuffer = 256 * 1024;
constexpr char kCtrlZ = 26;

std::int64_t Tell(std::FILE* f) {
#if defined(_WIN32)
  return _ftelli64(f);
#else
  return ftello(f);
#endif
}

bool Seek(std::FILE* f, std::int64_t offset, int origin) {
#if defined(_WIN32)
  return _fseeki64(f, offset, origin) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), origin) == 0;
#endif
}

// Windows refuses to open a read-only file for writing, but a superuser is not refused on
// POSIX, nor under Wine run as one.  The permission bits are checked first so that a read-only
// file is never written wherever the engine runs (Paste refuses a read-only quote file).
bool MayWriteExisting(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return true;  // missing or unknown: fopen decides
#if defined(_WIN32)
  return (st.st_mode & _S_IWRITE) != 0;
#else
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
#endif
}

// The text of a file's bytes: up to its Ctrl-Z (a character of UTF-16, a byte otherwise; no
// UTF-8 sequence holds that byte).
std::string_view TextBeforeCtrlZ(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    const bool big = bytes[0] == '\xFE';
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
      if (bytes[at + (big ? 1 : 0)] == kCtrlZ && bytes[at + (big ? 0 : 1)] == 0) return bytes.substr(0, at);
    }
    return bytes;
  }
  return bytes.substr(0, std::min(bytes.find(kCtrlZ), bytes.size()));
}

// The buffers of files read whole, kept for the next: a compile or a scan opens file after
// file, and fresh memory for each whole file costs more than reading it (every page of it is
// a fault).  At most two, none above 64 MB; shared by the threads, under a lock.  The mail
// client keeps the library loaded for weeks: the window gives them back when it closes
// (ReleaseReadBuffers), so the host never carries the largest file the extension read.
constexpr std::size_t kSpareLimit = std::size_t{64} << 20;
// Files are read whole only up to this size.  Beyond it no quote collection lies (the largest
// public ones are a few megabytes): such a file (an archive or a disk image named .lsq) is read
// in pieces as ANSI, as every file was before Unicode files, and never held whole in the
// 32-bit library's address space.
constexpr std::int64_t kWholeFileLimit = std::int64_t{64} << 20;
struct Spares {
  std::mutex lock;
  std::string buffers[2];
};
Spares& SpareBuffers() {
  static Spares spares;
  return spares;
}

std::string TakeSpare() {
  Spares& spares = SpareBuffers();
  const std::lock_guard<std::mutex> hold(spares.lock);
  for (std::string& spare : spares.buffers) {
    if (spare.capacity() > 0) {
      std::string taken = std::exchange(spare, std::string());
      taken.clear();
      return taken;
    }
  }
  return {};
}

void GiveSpare(std::string&& buffer) {
  if (buffer.capacity() > kSpareLimit) return;
  Spares& spares = SpareBuffers();
  const std::lock_guard<std::mutex> hold(spares.lock);
  std::string* smallest = &spares.buffers[0];
  for (std::string& spare : spares.buffers) {
    if (spare.capacity() < smallest->capacity()) smallest = &spare;
  }
  if (buffer.capacity() > smallest->capacity()) *smallest = std::move(buffer);
}

}  // namespace

void ReleaseReadBuffers() {
  Spares& spares = SpareBuffers();
  const std::lock_guard<std::mutex> hold(spares.lock);
  for (std::string& spare : spares.buffers) std::string().swap(spare);
}

TextFile::~TextFile() { Close(); }

TextFile::TextFile(TextFile&& other) noexcept { *this = std::move(other); }

TextFile& TextFile::operator=(TextFile&& other) noexcept {
  if (this != &other) {
    Close();
    file_ = std::exchange(other.file_, nullptr);
    memory_ = std::exchange(other.memory_, nullptr);
    memory_at_ = other.memory_at_;
    append_ = other.append_;
    text_ = other.text_;
    writable_ = other.writable_;
    write_failed_ = other.write_failed_;
    in_ = std::move(other.in_);
    in_capacity_ = std::exchange(other.in_capacity_, 0);
    begin_ = other.begin_;
    end_ = other.end_;
    disk_end_ = other.disk_end_;
    out_ = std::move(other.out_);
    out_capacity_ = std::exchange(other.out_capacity_, 0);
    out_used_ = std::exchange(other.out_used_, 0);
    in_chunk_ = other.in_chunk_;
    const bool converted = memory_ == &other.converted_;
    converted_ = std::move(other.converted_);
    if (converted) memory_ = &converted_;
    source_size_ = other.source_size_;
    encoding_ = other.encoding_;
    target_ = other.target_;
    replaced_ = std::move(other.replaced_);
    other.Reset();
  }
  return *this;
}

void TextFile::Reset() {
  begin_ = end_ = 0;
  disk_end_ = false;
}

TextFile::Mode TextFile::ParseMode(std::string_view mode) {
  Mode m;
  if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return m;
  m.ok = true;
  m.update = mode.find('+') != std::string_view::npos;
  m.binary = mode.find('b') != std::string_view::npos;
  m.writes = m.update || mode[0] != 'r';
  return m;
}

void TextFile::Opened(const Mode& mode) {
  text_ = !mode.binary;
  writable_ = mode.writes;
  write_failed_ = false;
  Reset();
  out_used_ = 0;
}

bool TextFile::Open(const std::string& path, std::string_view mode) {
  Close();
  const Mode m = ParseMode(mode);
  if (!m.ok) return false;
  if (m.writes && !MayWriteExisting(path)) return false;

  std::string stdio_mode(1, mode[0]);
  if (m.update) stdio_mode += '+';
  stdio_mode += 'b';  // the translation is ours
  file_ = std::fopen(path.c_str(), stdio_mode.c_str());
  if (!file_) return false;
  Opened(m);
  return true;
}

bool TextFile::OpenMemory(std::string& bytes, std::string_view mode) {
  Close();
  const Mode m = ParseMode(mode);
  if (!m.ok) return false;
  if (mode[0] == 'w') bytes.clear();
  memory_ = &bytes;
  memory_at_ = 0;
  append_ = mode[0] == 'a';
  Opened(m);
  return true;
}

bool TextFile::OpenConverted(const std::string& path, const CodePage* page, ReadAs target) {
  Close();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::string bytes = TakeSpare();
  bool ok = true;
  bool too_big = false;
  if (Seek(file, 0, SEEK_END)) {
    const std::int64_t size = Tell(file);
    // A size that is no file's (a folder's, on some systems) reserves nothing: the reads decide.
    // Room for the last read too, which finds the end: a file is never copied as it grows.
    too_big = size > kWholeFileLimit;
    if (size > 0 && !too_big) bytes.reserve(static_cast<std::size_t>(size) + kInputChunk);
    ok = Seek(file, 0, SEEK_SET);
  }
  for (std::size_t n = kInputChunk; ok && n == kInputChunk && !too_big;) {
    const std::size_t at = bytes.size();
    bytes.resize(at + kInputChunk);
    n = std::fread(bytes.data() + at, 1, kInputChunk, file);
    bytes.resize(at + n);
    too_big = static_cast<std::int64_t>(bytes.size()) > kWholeFileLimit;
  }
  ok = ok && !std::ferror(file);
  std::fclose(file);
  if (!ok || too_big) {
    GiveSpare(std::move(bytes));
    if (!ok) return false;
    if (!Open(path, "rt")) return false;
    encoding_ = TextEncoding::Ansi;
    replaced_.clear();
    target_ = ReadAs::Ansi;
    return true;
  }
  const auto size = static_cast<std::int64_t>(bytes.size());
  // The common case, an ANSI file read as ANSI: its own bytes, read up to its Ctrl-Z.
  if (Convert(TextBeforeCtrlZ(bytes), page, target)) {
    GiveSpare(std::move(bytes));
  } else {
    converted_ = std::move(bytes);
  }
  OpenMemory(converted_, "rt");
  source_size_ = size;
  target_ = target;
  return true;
}

void TextFile::OpenMemoryConverted(std::string_view bytes, const CodePage* page, ReadAs target) {
  Close();
  if (!Convert(TextBeforeCtrlZ(bytes), page, target)) converted_.assign(bytes);
  OpenMemory(converted_, "rt");
  source_size_ = static_cast<std::int64_t>(bytes.size());
  target_ = target;
}

bool TextFile::Convert(std::string_view text, const CodePage* page, ReadAs target) {
  if (!page) page = BuiltInCodePage(kDefaultCodePage);
  ConvertedText converted;
  converted.bytes = TakeSpare();
  replaced_.clear();
  if (target == ReadAs::Ansi) {
    encoding_ = DetectToAnsi(text, *page, converted);  // one pass decides and converts
    if (encoding_ == TextEncoding::Ansi) {
      GiveSpare(std::move(converted.bytes));
      return false;
    }
  } else {
    encoding_ = DetectEncoding(text);
    GiveSpare(std::move(converted.bytes));
    converted = ToUtf8(text, encoding_, *page);
  }
  converted_ = std::move(converted.bytes);
  replaced_ = std::move(converted.replaced);
  return true;
}

bool TextFile::Close() {
  if (!IsOpen()) return true;
  Flush();
  if (file_ && std::fclose(file_) != 0 && writable_) write_failed_ = true;
  file_ = nullptr;
  memory_ = nullptr;
  if (converted_.capacity() > 0) GiveSpare(std::move(converted_));
  converted_ = std::string();
  source_size_ = -1;
  target_ = ReadAs::Ansi;
  Reset();
  return !write_failed_;
}

std::size_t TextFile::RawRead(char* buffer, std::size_t size) {
  if (file_) return std::fread(buffer, 1, size, file_);
  const std::size_t n = std::min(size, memory_->size() - std::min(memory_at_, memory_->size()));
  if (n > 0) memory_->copy(buffer, n, memory_at_);
  memory_at_ += n;
  return n;
}

bool TextFile::RawWrite(const char* bytes, std::size_t size) {
  if (file_) return std::fwrite(bytes, 1, size, file_) == size;
  if (append_ || memory_at_ > memory_->size()) memory_at_ = memory_->size();
  memory_->replace(memory_at_, std::min(size, memory_->size() - memory_at_), bytes, size);
  memory_at_ += size;
  return true;
}

bool TextFile::RawSeekStart() {
  if (file_) return Seek(file_, 0, SEEK_SET);
  memory_at_ = 0;
  return true;
}

bool TextFile::Refill() {
  if (begin_ > 0) {
    std::memmove(in_.get(), in_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (disk_end_) return false;
  const std::size_t wanted = in_capacity_ - end_;
  const std::size_t n = RawRead(in_.get() + end_, wanted);
  if (n == wanted) in_chunk_ = kInputChunk;  // a large file: read in large chunks from now on
  if (n == 0) {
    disk_end_ = true;
    return false;
  }
  std::size_t usable = n;
  if (text_) {
    // Ctrl-Z is the end of a text file; nothing after it is ever read.
    if (const void* z = std::memchr(in_.get() + end_, kCtrlZ, n)) {
      usable = static_cast<std::size_t>(static_cast<const char*>(z) - (in_.get() + end_));
      disk_end_ = true;
    }
  }
  end_ += usable;
  return true;
}

// An LF always ends a piece, so the only CR LF a piece can hold is its end: the translation
// needs no pass of its own.  The CR of a CR LF is overwritten in place by the LF, and the
// limit counts translated characters.  A CR as the last byte read waits for the next byte.
std::string_view TextFile::ReadPiece(std::size_t buffer_size) {
  if (!IsOpen() || buffer_size < 2) return {};
  const std::size_t limit = buffer_size - 1;
  if (in_capacity_ < limit + 1 + in_chunk_) {
    const std::size_t capacity = limit + 1 + in_chunk_;
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (in_) std::memcpy(grown.get(), in_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    in_ = std::move(grown);
    in_capacity_ = capacity;
  }
  for (;;) {
    char* const start = in_.get() + begin_;
    const std::size_t avail = end_ - begin_;
    const std::size_t window = std::min(avail, limit + 1);
    if (const void* found = window ? std::memchr(start, '\n', window) : nullptr) {
      const std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(found) - start);
      if (text_ && lf > 0 && start[lf - 1] == '\r') {
        start[lf - 1] = '\n';
        begin_ += lf + 1;
        return {start, lf};
      }
      const std::size_t len = std::min(lf + 1, limit);
      begin_ += len;
      return {start, len};
    }
    const bool cr_may_pair = text_ && avail == limit && start[limit - 1] == '\r';
    if (avail > limit || (avail == limit && !cr_may_pair)) {
      begin_ += limit;
      return {start, limit};
    }
    if (!Refill()) {  // the end: what is left is the last piece, a final CR included
      char* const rest = in_.get() + begin_;
      const std::size_t n = end_ - begin_;
      begin_ = end_;
      return {rest, n};
    }
  }
}

std::size_t TextFile::Read(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::string_view piece = ReadPiece(std::min<std::size_t>(size - done, kInputChunk) + 1);
    if (piece.empty()) break;
    std::memcpy(buffer + done, piece.data(), piece.size());
    done += piece.size();
  }
  return done;
}

bool TextFile::Write(std::string_view text) {
  if (!IsOpen() || !writable_) {
    write_failed_ = true;
    return false;
  }
  if (!out_) {
    out_capacity_ = kSmallBuffer;
    out_ = std::make_unique_for_overwrite<char[]>(out_capacity_);
  }
  while (!text.empty()) {
    // Each LF may become two bytes: take as much as surely fits.
    if (out_used_ + 2 > out_capacity_) {
      // A file in memory gains nothing from a large buffer: its flush is a copy.
      if (out_capacity_ < kOutputBuffer && !memory_) {
        auto grown = std::make_unique_for_overwrite<char[]>(kOutputBuffer);
        std::memcpy(grown.get(), out_.get(), out_used_);
        out_ = std::move(grown);
        out_capacity_ = kOutputBuffer;
      } else {
        Flush();
      }
    }
    const std::size_t room = out_capacity_ - out_used_;
    std::string_view part = text.substr(0, text_ ? room / 2 : room);
    text.remove_prefix(part.size());
    char* out = out_.get() + out_used_;
    while (text_ && !part.empty()) {
      const void* lf = std::memchr(part.data(), '\n', part.size());
      if (!lf) break;
      const std::size_t seg = static_cast<std::size_t>(static_cast<const char*>(lf) - part.data());
      std::memcpy(out, part.data(), seg);
      out += seg;
      *out++ = '\r';
      *out++ = '\n';
      part.remove_prefix(seg + 1);
    }
    std::memcpy(out, part.data(), part.size());
    out_used_ = static_cast<std::size_t>(out + part.size() - out_.get());
  }
  return !write_failed_;
}

bool TextFile::Flush() {
  if (!IsOpen()) return false;
  if (out_used_ > 0) {
    if (!RawWrite(out_.get(), out_used_)) write_failed_ = true;
    out_used_ = 0;
  }
  if (file_ && writable_ && std::fflush(file_) != 0) write_failed_ = true;
  return !write_failed_;
}

bool TextFile::Rewind() {
  if (!IsOpen()) return false;
  Flush();
  Reset();
  return RawSeekStart();
}

std::int64_t TextFile::SizeOnDisk() {
  if (!IsOpen()) return -1;
  Flush();
  if (source_size_ >= 0) return source_size_;
  if (memory_) return static_cast<std::int64_t>(memory_->size());
  const std::int64_t here = Tell(file_);
  if (here < 0 || !Seek(file_, 0, SEEK_END)) return -1;
  const std::int64_t size = Tell(file_);
  Seek(file_, here, SEEK_SET);
  return size;
}

}  // namespace vosko
