#include "compiler.h"

#include "report.h"
#include "script_parser.h"

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <new>

#ifdef _WIN32
#include <windows.h>
#endif

namespace rescom {
namespace {

constexpr std::size_t kWriteChunk = 256 * 1024;

// A digest of the text lengths in order: the second reading must give the same texts as the
// first, and comparing digests keeps that check in constant memory.
constexpr std::uint64_t kDigestStart = 14695981039346656037ull;  // FNV-1a
inline std::uint64_t digest_step(std::uint64_t digest, std::uint64_t length) {
  return (digest ^ length) * 1099511628211ull;
}

// First pass: the summary of the texts and the digest of their lengths; nothing per text is
// kept, so the memory does not grow with the number of quotes.
class IndexSink final : public TextSink {
 public:
  SummaryBuilder summary;
  std::uint64_t digest = kDigestStart;
  void begin(std::uint32_t) override {}
  void append(const char*, std::size_t) override {}
  // The parser refuses texts beyond the format's 4 GiB before they reach a sink.
  void end(std::uint64_t length) override {
    summary.add(length);
    digest = digest_step(digest, length);
  }
};

// Where the compiled bytes go: a string, or a file through one large buffer (the texts arrive
// a line at a time, and a write call per line would dominate the run time).
class Output {
 public:
  explicit Output(std::string& target) : target_(&target) {}
  explicit Output(std::FILE* file) : file_(file) { buffer_.reserve(kWriteChunk); }

  void write(const char* bytes, std::size_t size) {
    if (target_ != nullptr) {
      target_->append(bytes, size);
      return;
    }
    if (buffer_.size() + size > kWriteChunk) {
      flush();
      if (size >= kWriteChunk) {
        put(bytes, size);
        return;
      }
    }
    buffer_.append(bytes, size);
  }

  // Overwrites bytes written before, at `offset` from the start; the next write goes to the
  // end again.
  void write_at(std::uint64_t offset, const char* bytes, std::size_t size) {
    if (target_ != nullptr) {
      target_->replace(static_cast<std::size_t>(offset), size, bytes, size);
      return;
    }
    flush();
    if (failed_) return;
    if (!seek(offset)) {
      failed_ = true;
      error_ = errno;
      return;
    }
    put(bytes, size);
    if (!seek_end() && !failed_) {
      failed_ = true;
      error_ = errno;
    }
  }

  bool flush() {
    if (file_ != nullptr && !buffer_.empty()) {
      put(buffer_.data(), buffer_.size());
      buffer_.clear();
    }
    return !failed_;
  }

  int error() const { return error_; }

 private:
  bool seek(std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file_, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
  }
  bool seek_end() {
#ifdef _WIN32
    return _fseeki64(file_, 0, SEEK_END) == 0;
#else
    return fseeko(file_, 0, SEEK_END) == 0;
#endif
  }

  void put(const char* bytes, std::size_t size) {
    if (!failed_ && std::fwrite(bytes, 1, size, file_) != size) {
      failed_ = true;
      error_ = errno;
    }
  }

  std::string* target_ = nullptr;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  bool failed_ = false;
  int error_ = 0;
};

// Second pass: writes each text and its terminator after the leading block, whose index entries
// it fills in, a batch at a time, as the offsets become known.  It also checks that the script
// still gives the texts the first pass saw (it is read twice, and someone may have changed it
// between); a mismatch stops the writing, and the output is then thrown away.
class TextWriter final : public TextSink {
 public:
  TextWriter(const RscSummary& summary, std::uint64_t digest, Output& out)
      : summary_(summary), digest_(digest), out_(out) {}

  void begin(std::uint32_t) override {
    if (next_ >= summary_.count) mismatch_ = true;
  }
  void append(const char* bytes, std::size_t size) override {
    if (!mismatch_) out_.write(bytes, size);
  }
  void end(std::uint64_t length) override {
    if (mismatch_) return;
    out_.write("", 1);  // the terminating NUL
    append_index_entry(batch_, static_cast<std::uint32_t>(offset_));
    offset_ += length + 1;
    digest_seen_ = digest_step(digest_seen_, length);
    ++next_;
    if (batch_.size() >= kBatch) flush_index();
  }
  // Writes the index entries still held; true when the texts were those of the first pass.
  bool finish() {
    flush_index();
    return !mismatch_ && next_ == summary_.count && digest_seen_ == digest_ && offset_ == summary_.area_size;
  }

 private:
  static constexpr std::size_t kBatch = 64 * 1024;
  // The batch holds the entries of the texts just before text next_.
  void flush_index() {
    if (batch_.empty()) return;
    const std::uint64_t entries = batch_.size() / kNumberDigits;
    out_.write_at(kFixedHeaderSize + (next_ - entries) * kNumberDigits, batch_.data(), batch_.size());
    batch_.clear();
  }

  const RscSummary& summary_;
  const std::uint64_t digest_;
  Output& out_;
  std::string batch_;
  std::uint64_t next_ = 0;
  std::uint64_t offset_ = 0;
  std::uint64_t digest_seen_ = kDigestStart;
  bool mismatch_ = false;
};

// Short reasons of our own: the runtime's texts are not under our control and could contain
// the report marker.
std::string reason(int err) {
  switch (err) {
    case ENOENT:
      return "not found";
    case EACCES:
      return "access denied";
    case ENOSPC:
      return "disk full";
    case EISDIR:
      return "is a directory";
    default:
      return "system error " + decimal(static_cast<unsigned>(err));
  }
}

struct FileCloser {
  std::FILE* file = nullptr;
  ~FileCloser() {
    if (file != nullptr) std::fclose(file);
  }
  int close() {
    const int rc = std::fclose(file);
    file = nullptr;
    return rc;
  }
};

// The compiled file is written under a temporary name and only renamed over the real one when
// complete, so a failed run never leaves a damaged rquotes.rsc for the DLL to install.
class TempFile {
 public:
  explicit TempFile(std::string temp_path) : path(std::move(temp_path)), file(std::fopen(path.c_str(), "wb")) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (file != nullptr) std::fclose(file);
    if (!committed_ && made_) std::remove(path.c_str());
  }

  int close() {
    const int rc = std::fclose(file);
    file = nullptr;
    return rc;
  }

  bool commit(const std::string& final_path) {
#ifdef _WIN32
    // The C runtime's rename() refuses to replace an existing file on Windows.
    committed_ = MoveFileExA(path.c_str(), final_path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    committed_ = std::rename(path.c_str(), final_path.c_str()) == 0;
#endif
    return committed_;
  }

  const std::string path;
  std::FILE* file;

 private:
  const bool made_ = file != nullptr;
  bool committed_ = false;
};

// Pass one: errors and the index. Fills `outcome` and returns false when the script is refused.
bool index_pass(ScriptInput& input, std::string_view script_name, std::string_view output_name, IndexSink& index,
                CompileOutcome& outcome) {
  ParseResult parsed = parse_script(input, index);
  if (input.read_failed()) {
    outcome.exit_code = kExitFileError;
    outcome.lines.push_back(file_error_line(script_name, "read error"));
    return false;
  }
  if (!parsed.errors.empty()) {
    for (const Diagnostic& d : parsed.errors) outcome.lines.push_back(error_line(script_name, d));
    outcome.lines.push_back(failure_line(script_name, parsed.errors.size(), parsed.stopped_early, output_name));
    outcome.exit_code = kExitScriptErrors;
    return false;
  }
  if (!index.summary.ok()) {  // the parser already refuses this
    outcome.exit_code = kExitScriptErrors;
    outcome.lines.push_back(file_error_line(script_name, "too much text for one file"));
    return false;
  }
  outcome.summary = index.summary.summary();
  return true;
}

// Pass two: the leading block, then the texts. False when the second reading disagrees.
bool write_pass(ScriptInput& input, const IndexSink& index, const RscSummary& summary, Output& out) {
  // The index entries are filled in by the writer; until then the block holds zeros there.
  std::string header;
  append_fixed_header(header, summary);
  out.write(header.data(), header.size());
  const std::string zeros(64 * 1024, '0');
  for (std::uint64_t left = std::uint64_t{summary.count} * kNumberDigits; left > 0;) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
    out.write(zeros.data(), size);
    left -= size;
  }
  out.write(reinterpret_cast<const char*>(&kHeaderEnd), 1);
  TextWriter writer(summary, index.digest, out);
  const ParseResult parsed = parse_script(input, writer);
  const bool same = writer.finish();
  return parsed.errors.empty() && !input.read_failed() && same;
}

CompileOutcome out_of_memory(std::string_view script_name) {
  CompileOutcome outcome;
  outcome.exit_code = kExitFileError;
  outcome.lines.push_back(file_error_line(script_name, "memory exhausted"));
  return outcome;
}

}  // namespace

CompileOutcome compile_bytes(std::string_view script, std::string& rsc, std::string_view script_name,
                             std::string_view output_name, std::size_t piece) {
  rsc.clear();
  try {
    CompileOutcome outcome;
    IndexSink index;
    {
      ScriptInput input(script, piece == 0 ? script.size() : piece);
      if (!index_pass(input, script_name, output_name, index, outcome)) return outcome;
    }
    ScriptInput input(script, piece == 0 ? script.size() : piece);
    Output out(rsc);
    write_pass(input, index, outcome.summary, out);  // same bytes: cannot disagree
    outcome.lines.push_back(summary_line(outcome.summary.count, outcome.summary.largest));
    return outcome;
  } catch (const std::bad_alloc&) {
    rsc.clear();
    return out_of_memory(script_name);
  }
}

CompileOutcome compile_file(const std::string& script_path, const std::string& output_path) {
  CompileOutcome outcome;
  auto fail = [&outcome](std::string_view name, const std::string& message) {
    outcome.exit_code = kExitFileError;
    outcome.lines.push_back(file_error_line(name, message));
    return outcome;
  };
  try {
    FileCloser script{std::fopen(script_path.c_str(), "rb")};
    if (script.file == nullptr) return fail(script_path, "cannot open: " + reason(errno));

    IndexSink index;
    {
      ScriptInput input(script.file);
      if (!index_pass(input, script_path, output_path, index, outcome)) return outcome;
    }

    TempFile rsc(output_path + ".tmp");
    if (rsc.file == nullptr) return fail(rsc.path, "cannot create: " + reason(errno));
    if (std::fseek(script.file, 0, SEEK_SET) != 0) return fail(script_path, "cannot read it a second time");
    Output out(rsc.file);
    bool same;
    {
      ScriptInput input(script.file);
      same = write_pass(input, index, outcome.summary, out);
    }
    script.close();
    if (!same) return fail(script_path, "the script changed while it was being compiled");
    if (!out.flush()) return fail(rsc.path, "write error: " + reason(out.error()));
    errno = 0;
    if (rsc.close() != 0) return fail(rsc.path, "write error: " + reason(errno));
    if (!rsc.commit(output_path)) return fail(output_path, "cannot replace it with the new file");
    outcome.lines.push_back(summary_line(outcome.summary.count, outcome.summary.largest));
    return outcome;
  } catch (const std::bad_alloc&) {
    return out_of_memory(script_path);
  }
}

std::string default_output_path(const std::string& script_path) {
  const std::size_t base = script_path.find_last_of("/\\:");
  const std::size_t name_start = base == std::string::npos ? 0 : base + 1;
  const std::size_t dot = script_path.rfind('.');
  if (dot != std::string::npos && dot > name_start) return script_path.substr(0, dot) + ".rsc";
  return script_path + ".rsc";
}

}  // namespace rescom
