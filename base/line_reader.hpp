// The line reader: a byte source read in large chunks and split at line feeds, of each line
// only its first bytes. The splitter serves the block reader; the reader on top of it, the
// console.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "base/byte_io.hpp"

namespace zelk {

// A byte source split into lines. Of each line only the first `kept` bytes are held, the rest
// skipped unseen, so that memory does not depend on what the input holds.
class LineSplitter {
public:
    LineSplitter(ByteSource& source, std::size_t kept);
    LineSplitter(const LineSplitter&) = delete;
    LineSplitter& operator=(const LineSplitter&) = delete;

    // The next line into text(), length() and fed(); false when no byte is left. The view
    // lasts until the next call.
    bool next();
    // No byte is left to read.
    bool atEnd() { return begin_ == end_ && !refill(); }

    std::string_view text() const { return text_; }  // the first bytes, at most kept of them
    std::size_t length() const { return length_; }   // the whole length, without the line feed
    bool fed() const { return fed_; }                // a line feed ended it (the last may have none)

private:
    bool refill();

    ByteSource& source_;
    const std::size_t kept_;
    std::unique_ptr<char[]> line_;
    char buffer_[1 << 16];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
    std::string_view text_;
    std::size_t length_ = 0;
    bool fed_ = false;
};

// The input ended (a last line without a line feed counts as ended).
struct EndOfInput {};

class LineReader {
public:
    // Of each line only the first `kept` bytes are handed out; the rest is skipped unseen.
    LineReader(ByteSource& source, std::size_t kept) : lines_(source, kept) {}

    // The next whole line without its line end (a line feed, or a carriage return and a line
    // feed), of which only the first `kept` bytes are kept. The view lasts until the next
    // read. Throws EndOfInput.
    std::string_view readLine();

private:
    LineSplitter lines_;
};

}  // namespace zelk
