#include "compiler.h"

#include "report.h"
#include "script_parser.h"

#include <cerrno>
#include <cstdio>
#include <new>

#ifdef _WIN32
#include <windows.h>
#endif

namespace rescom {
namespace {

constexpr std::size_t kWriteChunk = 256 * 1024;

// First pass: only the lengths, which become the index.
class IndexSink final : public TextSink {
public:
    std::vector<std::uint32_t> lengths;
    void begin(std::uint32_t) override {}
    void append(const char*, std::size_t) override {}
    // The parser refuses texts beyond the format's 4 GiB before they reach a sink.
    void end(std::uint64_t length) override { lengths.push_back(static_cast<std::uint32_t>(length)); }
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

    bool flush() {
        if (file_ != nullptr && !buffer_.empty()) {
            put(buffer_.data(), buffer_.size());
            buffer_.clear();
        }
        return !failed_;
    }

    int error() const { return error_; }

private:
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

// Second pass: writes each text and its terminator, and checks that the script still gives the
// texts the first pass indexed (it is read twice, and someone may have changed it between).
class TextWriter final : public TextSink {
public:
    TextWriter(const std::vector<std::uint32_t>& lengths, Output& out)
        : lengths_(lengths), out_(out) {}

    void begin(std::uint32_t) override {
        if (next_ >= lengths_.size()) mismatch_ = true;
    }
    void append(const char* bytes, std::size_t size) override {
        if (!mismatch_) out_.write(bytes, size);
    }
    void end(std::uint64_t length) override {
        if (mismatch_ || length != lengths_[next_]) {
            mismatch_ = true;
            return;
        }
        out_.write("", 1);  // the terminating NUL
        ++next_;
    }
    bool matched() const { return !mismatch_ && next_ == lengths_.size(); }

private:
    const std::vector<std::uint32_t>& lengths_;
    Output& out_;
    std::size_t next_ = 0;
    bool mismatch_ = false;
};

// Short reasons of our own: the runtime's texts are not under our control and could contain
// the report marker.
std::string reason(int err) {
    switch (err) {
        case ENOENT: return "not found";
        case EACCES: return "access denied";
        case ENOSPC: return "disk full";
        case EISDIR: return "is a directory";
        default: return "system error " + decimal(static_cast<unsigned>(err));
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
    explicit TempFile(std::string temp_path)
        : path(std::move(temp_path)), file(std::fopen(path.c_str(), "wb")) {}
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
bool index_pass(ScriptInput& input, std::string_view script_name, std::string_view output_name,
                IndexSink& index, CompileOutcome& outcome) {
    ParseResult parsed = parse_script(input, index);
    if (input.read_failed()) {
        outcome.exit_code = kExitFileError;
        outcome.lines.push_back(file_error_line(script_name, "read error"));
        return false;
    }
    if (!parsed.errors.empty()) {
        for (const Diagnostic& d : parsed.errors) outcome.lines.push_back(error_line(script_name, d));
        outcome.lines.push_back(
            failure_line(script_name, parsed.errors.size(), parsed.stopped_early, output_name));
        outcome.exit_code = kExitScriptErrors;
        return false;
    }
    if (!summarize(index.lengths, outcome.summary)) {  // the parser already refuses this
        outcome.exit_code = kExitScriptErrors;
        outcome.lines.push_back(file_error_line(script_name, "too much text for one file"));
        return false;
    }
    return true;
}

// Pass two: the leading block, then the texts. False when the second reading disagrees.
bool write_pass(ScriptInput& input, const IndexSink& index, const RscSummary& summary,
                Output& out) {
    std::string header;
    append_header(header, summary, index.lengths);
    out.write(header.data(), header.size());
    TextWriter writer(index.lengths, out);
    const ParseResult parsed = parse_script(input, writer);
    return parsed.errors.empty() && !input.read_failed() && writer.matched();
}

CompileOutcome out_of_memory(std::string_view script_name) {
    CompileOutcome outcome;
    outcome.exit_code = kExitFileError;
    outcome.lines.push_back(file_error_line(script_name, "memory exhausted"));
    return outcome;
}

}  // namespace

CompileOutcome compile_bytes(std::string_view script, std::string& rsc,
                             std::string_view script_name, std::string_view output_name,
                             std::size_t piece) {
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
        if (std::fseek(script.file, 0, SEEK_SET) != 0)
            return fail(script_path, "cannot read it a second time");
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
    if (dot != std::string::npos && dot > name_start)
        return script_path.substr(0, dot) + ".rsc";
    return script_path + ".rsc";
}

}  // namespace rescom
