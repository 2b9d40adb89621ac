// The line reader.
#include "base/line_reader.hpp"

#include <algorithm>
#include <cstring>

namespace zelk {

LineReader::LineReader(ByteSource& source, std::size_t kept)
    : source_(source), kept_(kept), line_(std::make_unique<char[]>(kept)) {}

bool LineReader::refill() {
    if (ended_) return false;
    begin_ = 0;
    end_ = source_.read(buffer_, sizeof buffer_);
    if (end_ == 0) ended_ = true;
    return end_ != 0;
}

std::string_view LineReader::readLine() {
    std::size_t length = 0;
    std::size_t whole = 0;  // the line's length so far, kept or not
    for (;;) {
        if (begin_ == end_ && !refill()) throw EndOfInput{};
        const char* start = buffer_ + begin_;
        const char* stop = buffer_ + end_;
        const char* feed = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(stop - start)));
        const char* lineEnd = feed ? feed : stop;
        const std::size_t take = std::min(static_cast<std::size_t>(lineEnd - start), kept_ - length);
        whole += static_cast<std::size_t>(lineEnd - start);
        if (feed && length == 0) {
            // The whole line is in the buffer, which stays as it is until the next read.
            begin_ = static_cast<std::size_t>(feed + 1 - buffer_);
            return withoutReturn({start, take}, whole);
        }
        std::memcpy(line_.get() + length, start, take);
        length += take;
        begin_ = static_cast<std::size_t>((feed ? feed + 1 : stop) - buffer_);
        if (feed) return withoutReturn({line_.get(), length}, whole);
    }
}

// A carriage return just before the line feed belongs to the line end (files saved on
// Windows); anywhere else it is a character of the answer.
std::string_view LineReader::withoutReturn(std::string_view line, std::size_t whole) {
    if (line.size() == whole && line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

}  // namespace zelk
