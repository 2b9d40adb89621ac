// The console object and its standard-stream and in-memory sources and sinks.
#include "dialogue/console.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zelk {

Console::Console(ByteSource& source, ByteSink& sink) : source_(source), sink_(sink) {}

Console::~Console() {
    // Whatever is left goes out, but a destructor must not throw.
    try {
        flush();
    } catch (...) {
    }
}

void Console::prompt(std::string_view text) {
    pending_.append(text);
    flush();
}

void Console::flush() {
    if (pending_.empty()) return;
    sink_.write(pending_.view());
    pending_.clear();
}

bool Console::refill() {
    if (ended_) return false;
    begin_ = 0;
    end_ = source_.read(buffer_, sizeof buffer_);
    if (end_ == 0) ended_ = true;
    return end_ != 0;
}

std::string_view Console::readLine() {
    std::size_t length = 0;
    std::size_t whole = 0;  // the line's length so far, kept or not
    for (;;) {
        if (begin_ == end_ && !refill()) throw EndOfInput{};
        const char* start = buffer_ + begin_;
        const char* stop = buffer_ + end_;
        const char* feed = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(stop - start)));
        const char* lineEnd = feed ? feed : stop;
        const std::size_t take = std::min(static_cast<std::size_t>(lineEnd - start), kept - length);
        whole += static_cast<std::size_t>(lineEnd - start);
        if (feed && length == 0) {
            // The whole line is in the buffer, which stays as it is until the next read.
            begin_ = static_cast<std::size_t>(feed + 1 - buffer_);
            return withoutReturn({start, take}, whole);
        }
        std::memcpy(line_ + length, start, take);
        length += take;
        begin_ = static_cast<std::size_t>((feed ? feed + 1 : stop) - buffer_);
        if (feed) return withoutReturn({line_, length}, whole);
    }
}

// A carriage return just before the line feed belongs to the line end (files saved on
// Windows); anywhere else it is a character of the answer.
std::string_view Console::withoutReturn(std::string_view line, std::size_t whole) {
    if (line.size() == whole && line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

std::size_t FdSource::read(char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, capacity);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw InputFailure(std::strerror(errno));
    }
}

void FdSink::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            if (reports_ && error != EPIPE)
                reports_->write("zelk: cannot write to " + stream_ + ": " + std::strerror(error) + "\n");
            reports_ = nullptr;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

std::size_t StringSource::read(char* buffer, std::size_t capacity) {
    const std::size_t take = std::min({capacity, chunk_, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, take);
    at_ += take;
    return take;
}

}  // namespace zelk
