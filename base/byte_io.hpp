// Byte sources and sinks: where input comes from and output goes, standard streams or
// memory in tests. The console, the output file, the block reader and the workbench's
// verbs all read and write through them.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelk {

// Where bytes come from: standard input, a file, or memory in tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to capacity bytes; 0 at end of input. Throws InputFailure on a read error.
    virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
};

// Where bytes go: standard output, or memory in tests.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
    // Why bytes were lost (an errno value), for a sink that drops a failed write and is asked
    // later; 0 while none were.
    virtual int failure() const { return 0; }
};

// Writes all of bytes to fd, again after a short or interrupted write, until they are all
// written or a write fails. What was written, and 0 or why the rest was not (an errno value;
// ENOSPC for a write that took nothing). Async-signal-safe.
struct Written {
    std::size_t bytes;
    int error;
};
Written writeAll(int fd, std::string_view bytes) noexcept;

// Output gathered into large writes: a row or a block is far smaller than a pipe's buffer or
// a disk's block. The writer appends to text() and calls endPiece() after each whole piece;
// once gatheredBytes are there they go to the sink in one write. flush() writes the rest.
// Nothing is written when it goes: a run that fails midway writes no more.
inline constexpr std::size_t gatheredBytes = 1 << 16;

template <typename Sink>  // a ByteSink, or anything else with write(std::string_view)
class Gathered {
public:
    explicit Gathered(Sink& sink) : sink_(sink) {}
    Gathered(const Gathered&) = delete;
    Gathered& operator=(const Gathered&) = delete;

    std::string& text() { return text_; }
    // True when the gathered bytes were written.
    bool endPiece() {
        if (text_.size() < gatheredBytes) return false;
        flush();
        return true;
    }
    void flush() {
        if (!text_.empty()) sink_.write(text_);
        text_.clear();
    }

private:
    Sink& sink_;
    std::string text_;
};

// Ends the run: standard input could not be read.
struct InputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Standard input and output as the console's source and sink.
class FdSource : public ByteSource {
public:
    explicit FdSource(int fd) : fd_(fd) {}
    std::size_t read(char* buffer, std::size_t capacity) override;

private:
    int fd_;
};

// A write that fails is dropped: the dialogue goes on. With a sink for reports, the first
// failure is told there once, naming the stream, unless the reader has merely gone away.
class FdSink : public ByteSink {
public:
    explicit FdSink(int fd, ByteSink* reports = nullptr, std::string_view stream = {})
        : fd_(fd), reports_(reports), stream_(stream) {}
    void write(std::string_view bytes) override;

private:
    int fd_;
    ByteSink* reports_;
    std::string stream_;
};

// In-memory source and sink for tests.
class StringSource : public ByteSource {
public:
    explicit StringSource(std::string bytes, std::size_t chunk = 1 << 16) : bytes_(std::move(bytes)), chunk_(chunk) {}
    std::size_t read(char* buffer, std::size_t capacity) override;

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

class StringSink : public ByteSink {
public:
    void write(std::string_view bytes) override {
        bytes_.append(bytes);
        ++writes_;
    }
    const std::string& bytes() const { return bytes_; }
    int writes() const { return writes_; }

private:
    std::string bytes_;
    int writes_ = 0;
};

}  // namespace zelk
