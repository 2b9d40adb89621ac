// The line splitter and the line reader.
#include "base/line_reader.hpp"

#include <algorithm>
#include <cstring>

namespace zelk {

LineSplitter::LineSplitter(ByteSource& source, std::size_t kept)
    : source_(source), kept_(kept), line_(std::make_unique<char[]>(kept)) {}

bool LineSplitter::refill() {
    if (ended_) return false;
    begin_ = 0;
    end_ = source_.read(buffer_, sizeof buffer_);
    ended_ = end_ == 0;
    return !ended_;
}

bool LineSplitter::next() {
    length_ = 0;
    std::size_t held = 0;
    for (;;) {
        if (begin_ == end_ && !refill()) {
            if (length_ == 0) return false;
            text_ = {line_.get(), held};
            fed_ = false;
            return true;
        }
        const char* start = buffer_ + begin_;
        const char* stop = buffer_ + end_;
        const auto* feed = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(stop - start)));
        const char* lineEnd = feed ? feed : stop;
        const auto size = static_cast<std::size_t>(lineEnd - start);
        begin_ = static_cast<std::size_t>((feed ? feed + 1 : stop) - buffer_);
        if (feed && length_ == 0) {
            // The whole line is in the buffer, which stays as it is until the next read.
            length_ = size;
            text_ = {start, std::min(size, kept_)};
            fed_ = true;
            return true;
        }
        const std::size_t take = std::min(size, kept_ - held);
        std::memcpy(line_.get() + held, start, take);
        held += take;
        length_ += size;
        if (feed) {
            text_ = {line_.get(), held};
            fed_ = true;
            return true;
        }
    }
}

std::string_view LineReader::readLine() {
    if (!lines_.next() || !lines_.fed()) throw EndOfInput{};
    std::string_view line = lines_.text();
    // A carriage return just before the line feed belongs to the line end (files saved on
    // Windows); anywhere else it is a character of the answer.
    if (line.size() == lines_.length() && line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

}  // namespace zelk
