#include "quotes/text_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if !defined(_WIN32)
#include <filesystem>
#include <system_error>
#endif

namespace vosko {
namespace {

// Large enough that a streaming pass spends its time in memchr and memcpy, not in the runtime.
constexpr std::size_t kInputChunk = 128 * 1024;
constexpr std::size_t kOutputBuffer = 64 * 1024;
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

// Windows refuses to open a read-only file for writing, whoever asks.  A POSIX superuser is not
// refused, so the permission bits are checked here to keep "read-only means unreadable" true
// for the quote readers everywhere.
bool MayWriteExisting(const std::string& path) {
#if defined(_WIN32)
  (void)path;
  return true;
#else
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::status(fs::path(path), ec);
  if (ec || !fs::exists(st)) return true;  // fopen decides
  const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (st.permissions() & writeBits) != fs::perms::none;
#endif
}

}  // namespace

TextFile::~TextFile() { Close(); }

TextFile::TextFile(TextFile&& other) noexcept { *this = std::move(other); }

TextFile& TextFile::operator=(TextFile&& other) noexcept {
  if (this != &other) {
    Close();
    file_ = std::exchange(other.file_, nullptr);
    text_ = other.text_;
    writable_ = other.writable_;
    writeFailed_ = other.writeFailed_;
    in_ = std::move(other.in_);
    inCapacity_ = std::exchange(other.inCapacity_, 0);
    begin_ = other.begin_;
    end_ = other.end_;
    raw_ = other.raw_;
    diskEnd_ = other.diskEnd_;
    out_ = std::move(other.out_);
    outUsed_ = std::exchange(other.outUsed_, 0);
    other.Reset();
  }
  return *this;
}

void TextFile::Reset() {
  begin_ = end_ = raw_ = 0;
  diskEnd_ = false;
}

bool TextFile::Open(const std::string& path, std::string_view mode) {
  Close();
  if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
  const bool update = mode.find('+') != std::string_view::npos;
  const bool binary = mode.find('b') != std::string_view::npos;
  const bool writes = update || mode[0] != 'r';
  if (writes && !MayWriteExisting(path)) return false;

  std::string stdioMode(1, mode[0]);
  if (update) stdioMode += '+';
  stdioMode += 'b';  // the translation is ours
  file_ = std::fopen(path.c_str(), stdioMode.c_str());
  if (!file_) return false;
  text_ = !binary;
  writable_ = writes;
  writeFailed_ = false;
  Reset();
  outUsed_ = 0;
  return true;
}

bool TextFile::Close() {
  if (!file_) return true;
  Flush();
  if (std::fclose(file_) != 0 && writable_) writeFailed_ = true;
  file_ = nullptr;
  Reset();
  return !writeFailed_;
}

// Translates buf[from, raw_) in place.  A CR that is the last byte read is held back
// untranslated until the next read shows whether an LF follows, unless the disk is done.
void TextFile::Translate(std::size_t from, bool finalChunk) {
  char* const buf = in_.get();
  if (!text_) {
    end_ = raw_;
    return;
  }
  std::size_t w = from, r = from;
  while (r < raw_) {
    const void* cr = std::memchr(buf + r, '\r', raw_ - r);
    const std::size_t stop = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - buf) : raw_;
    if (w != r) std::memmove(buf + w, buf + r, stop - r);
    w += stop - r;
    r = stop;
    if (r == raw_) break;
    if (r + 1 < raw_) {
      if (buf[r + 1] != '\n') buf[w++] = '\r';  // a lone CR is text
      ++r;
    } else if (finalChunk) {
      buf[w++] = '\r';
      ++r;
    } else {
      buf[w] = '\r';
      end_ = w;
      raw_ = w + 1;
      return;
    }
  }
  end_ = raw_ = w;
}

bool TextFile::Refill() {
  if (begin_ > 0) {
    std::memmove(in_.get(), in_.get() + begin_, raw_ - begin_);
    end_ -= begin_;
    raw_ -= begin_;
    begin_ = 0;
  }
  const std::size_t before = end_;
  if (diskEnd_) {
    if (raw_ == end_) return false;
    Translate(end_, true);
    return true;
  }
  const std::size_t n = std::fread(in_.get() + raw_, 1, inCapacity_ - raw_, file_);
  if (n == 0) {
    diskEnd_ = true;
    Translate(end_, true);
    return end_ > before;
  }
  std::size_t usable = n;
  if (text_) {
    // Ctrl-Z is the end of a text file; nothing after it is ever read.
    if (const void* z = std::memchr(in_.get() + raw_, kCtrlZ, n)) {
      usable = static_cast<std::size_t>(static_cast<const char*>(z) - (in_.get() + raw_));
      diskEnd_ = true;
    }
  }
  raw_ += usable;
  Translate(end_, diskEnd_);
  return true;
}

std::string_view TextFile::ReadPiece(std::size_t bufferSize) {
  if (!file_ || bufferSize < 2) return {};
  const std::size_t limit = bufferSize - 1;
  if (inCapacity_ < limit + kInputChunk) {
    const std::size_t capacity = limit + kInputChunk;
    auto grown = std::make_unique<char[]>(capacity);
    if (in_) std::memcpy(grown.get(), in_.get(), raw_);
    in_ = std::move(grown);
    inCapacity_ = capacity;
  }
  for (;;) {
    const std::size_t avail = end_ - begin_;
    const char* start = in_.get() + begin_;
    const std::size_t window = std::min(avail, limit);
    if (window > 0) {
      if (const void* lf = std::memchr(start, '\n', window)) {
        const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1;
        begin_ += len;
        return {start, len};
      }
    }
    if (avail >= limit) {
      begin_ += limit;
      return {start, limit};
    }
    if (!Refill()) {  // it may have moved the data to the front of the buffer
      const char* rest = in_.get() + begin_;
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
  if (!file_ || !writable_) {
    writeFailed_ = true;
    return false;
  }
  if (!out_) out_ = std::make_unique<char[]>(kOutputBuffer);
  auto append = [this](const char* p, std::size_t n) {
    while (n > 0) {
      if (outUsed_ == kOutputBuffer) Flush();
      const std::size_t take = std::min(n, kOutputBuffer - outUsed_);
      std::memcpy(out_.get() + outUsed_, p, take);
      outUsed_ += take;
      p += take;
      n -= take;
    }
  };
  while (!text.empty()) {
    const void* lf = text_ ? std::memchr(text.data(), '\n', text.size()) : nullptr;
    if (!lf) {
      append(text.data(), text.size());
      break;
    }
    const std::size_t seg = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
    append(text.data(), seg);
    append("\r\n", 2);
    text.remove_prefix(seg + 1);
  }
  return !writeFailed_;
}

bool TextFile::Flush() {
  if (!file_) return false;
  if (outUsed_ > 0) {
    if (std::fwrite(out_.get(), 1, outUsed_, file_) != outUsed_) writeFailed_ = true;
    outUsed_ = 0;
  }
  if (writable_ && std::fflush(file_) != 0) writeFailed_ = true;
  return !writeFailed_;
}

bool TextFile::Rewind() {
  if (!file_) return false;
  Flush();
  Reset();
  return Seek(file_, 0, SEEK_SET);
}

std::int64_t TextFile::SizeOnDisk() {
  if (!file_) return -1;
  Flush();
  const std::int64_t here = Tell(file_);
  if (here < 0 || !Seek(file_, 0, SEEK_END)) return -1;
  const std::int64_t size = Tell(file_);
  Seek(file_, here, SEEK_SET);
  return size;
}

}  // namespace vosko
