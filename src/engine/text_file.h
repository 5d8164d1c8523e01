// Files read and written the way the Windows C runtime's text mode does it, on every platform.
//
// Quote files, the resource script, import and export files all live on disk with CR LF line
// ends, and users' files come from every kind of editor.  The translation is done here over a
// binary stream so that Linux, the command-line tool and the DLL produce the very same bytes:
//   reading:  CR LF becomes LF, a lone CR stays, a Ctrl-Z byte (26) ends the file;
//   writing:  every LF becomes CR LF (a CR before it is kept: CR LF written gives CR CR LF);
//   binary:   bytes pass unchanged both ways.
// A file may also be held in memory (OpenMemory): the same rules over a string, so that the
// readers can be driven without a file system (the fuzz targets run thousands of files a
// second that way).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_encoding.h"

namespace vosko {

// Frees the buffers that files read whole keep for the next file (see OpenConverted).
void ReleaseReadBuffers();

class TextFile {
 public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  TextFile(TextFile&& other) noexcept;
  TextFile& operator=(TextFile&& other) noexcept;

  // Opens like fopen with the runtime's mode letters: "r", "w" or "a", optionally "+", then
  // "t" (the default) or "b".  A mode that can write ("+", "w", "a") fails on an existing file
  // that may not be written, even for a user who could override that (a superuser, or Wine run
  // as one), so a read-only file is never changed.  Every reader opens with "rt" or "rb", so a
  // read-only file reads like any other; the runtime's fopen shares the file for reading and
  // writing, so an editor may keep it open meanwhile.
  bool Open(const std::string& path, std::string_view mode);
  // Opens `bytes` as the file's contents, with the same mode letters: "w" empties it, "a"
  // writes at its end, written bytes replace or extend it.  `bytes` must outlive the open file.
  bool OpenMemory(std::string& bytes, std::string_view mode);
  // Opens the file at `path` for reading as text in `target`: the whole file is read, its
  // encoding decided once, its text converted (to the ANSI of `page`, null meaning the built-in
  // 1252, or to UTF-8) and served by the text-mode rules above.  An ANSI file read as ANSI
  // gives exactly the bytes "rt" gives; a mark is never part of the text.  SizeOnDisk stays
  // the file's own size.  False when the file cannot be opened or read.
  enum class ReadAs : std::uint8_t { Ansi, Utf8 };
  bool OpenConverted(const std::string& path, const CodePage* page, ReadAs target = ReadAs::Ansi);
  // The same over a file's bytes held in memory (copied).
  void OpenMemoryConverted(std::string_view bytes, const CodePage* page, ReadAs target = ReadAs::Ansi);
  // Of a file opened converted: its encoding, and the characters the target could not hold
  // (by line, in order; none after a Ctrl-Z, which ends the text as ever).
  TextEncoding Encoding() const { return encoding_; }
  // What the text is served as: UTF-8 only when opened converted to it.
  ReadAs Target() const { return target_; }
  const std::vector<ReplacedCharacter>& Replaced() const { return replaced_; }

  // Flushes and closes; false if any write since opening failed.
  bool Close();
  bool IsOpen() const { return file_ != nullptr || memory_ != nullptr; }

  // The next piece exactly as fgets with a buffer of `buffer_size` bytes would return it: at
  // most buffer_size - 1 characters after translation, ending after the first LF if one comes
  // before that.  Empty at the end of the file (or when buffer_size < 2).  The view stays valid
  // until the next call on this file.
  std::string_view ReadPiece(std::size_t buffer_size);
  // Reads up to `size` translated bytes; returns how many were read (0 at the end).
  std::size_t Read(char* buffer, std::size_t size);

  // Appends text (translated in text mode).  False once any write has failed.
  bool Write(std::string_view text);
  bool Put(char c) { return Write(std::string_view(&c, 1)); }
  bool Flush();
  bool Failed() const { return write_failed_; }

  // Back to the start of the file: pending output is written, buffered input dropped.
  bool Rewind();
  // The file's size in bytes on disk (untranslated), or -1.  Leaves the position alone.
  std::int64_t SizeOnDisk();

 private:
  struct Mode {
    bool ok = false, update = false, binary = false, writes = false;
  };
  static Mode ParseMode(std::string_view mode);
  void Opened(const Mode& mode);
  bool Refill();
  void Reset();
  // The untranslated bytes, from the disk or from memory.
  std::size_t RawRead(char* buffer, std::size_t size);
  bool RawWrite(const char* bytes, std::size_t size);
  bool RawSeekStart();
  // Decides the text's encoding and converts it into converted_; false (nothing converted) for
  // ANSI text read as ANSI.
  bool Convert(std::string_view text, const CodePage* page, ReadAs target);

  std::FILE* file_ = nullptr;
  std::string* memory_ = nullptr;  // the contents of a file held in memory
  std::size_t memory_at_ = 0;      // its position
  bool append_ = false;            // every write goes to the end
  bool text_ = true;
  bool writable_ = false;
  bool write_failed_ = false;
  // Input: in_[begin_, end_) is read from disk (up to any Ctrl-Z) and not yet returned.
  std::unique_ptr<char[]> in_;
  std::size_t in_capacity_ = 0;
  std::size_t in_chunk_ = 8 * 1024;  // bytes read at a time; grows once a file fills it
  std::size_t begin_ = 0, end_ = 0;
  bool disk_end_ = false;  // the disk has nothing more for us (end of file, Ctrl-Z or error)
  // Output, already translated.
  std::unique_ptr<char[]> out_;
  std::size_t out_capacity_ = 0;
  std::size_t out_used_ = 0;
  // A file opened converted: its text, held here and served as a file in memory.
  std::string converted_;
  std::int64_t source_size_ = -1;
  TextEncoding encoding_ = TextEncoding::Ansi;
  ReadAs target_ = ReadAs::Ansi;
  std::vector<ReplacedCharacter> replaced_;
};

}  // namespace vosko
