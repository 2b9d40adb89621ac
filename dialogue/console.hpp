// The console: answers read line by line from a byte source, screens written to a byte
// sink. Prompts are flushed; everything else waits in memory for the next prompt.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "dialogue/text_buffer.hpp"

namespace zelk {

// Where the console's bytes come from: standard input, or memory in tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to capacity bytes; 0 at end of input. Throws InputFailure on a read error.
    virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
};

// Where the console's bytes go: standard output, or memory in tests.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
    // Why bytes were lost (an errno value), for a sink that drops a failed write and is asked
    // later; 0 while none were.
    virtual int failure() const { return 0; }
};

// Ends the run: the input ended (a last line without a line feed counts as ended).
struct EndOfInput {};

// Ends the run: standard input could not be read.
struct InputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Console {
public:
    // No field reads more than this many characters of a line; the rest is skipped unseen.
    static constexpr std::size_t kept = 60;

    Console(ByteSource& source, ByteSink& sink);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Text waiting for the next prompt; screens append to it directly.
    TextBuffer& out() { return pending_; }
    void write(std::string_view text) { pending_.append(text); }
    void emptyLines(int count) { pending_.append(static_cast<std::size_t>(count), '\n'); }

    // Writes the text, leaves the line open and flushes, so that whoever answers sees it.
    void prompt(std::string_view text);
    void flush();

    // The next whole line without its line end (a line feed, or a carriage return and a line
    // feed), of which only the first `kept` bytes are kept. The view lasts until the next
    // read. Throws EndOfInput.
    std::string_view readLine();

private:
    bool refill();
    static std::string_view withoutReturn(std::string_view line, std::size_t whole);

    ByteSource& source_;
    ByteSink& sink_;
    TextBuffer pending_{8192};
    char line_[kept];
    char buffer_[1 << 16];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
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
