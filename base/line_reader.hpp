// The line reader: a byte source read in large chunks and handed out line by line, of each
// line only its first bytes.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "base/byte_io.hpp"

namespace zelk {

// The input ended (a last line without a line feed counts as ended).
struct EndOfInput {};

class LineReader {
public:
    // Of each line only the first `kept` bytes are handed out; the rest is skipped unseen.
    LineReader(ByteSource& source, std::size_t kept);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next whole line without its line end (a line feed, or a carriage return and a line
    // feed), of which only the first `kept` bytes are kept. The view lasts until the next
    // read. Throws EndOfInput.
    std::string_view readLine();

private:
    bool refill();
    static std::string_view withoutReturn(std::string_view line, std::size_t whole);

    ByteSource& source_;
    const std::size_t kept_;
    std::unique_ptr<char[]> line_;
    char buffer_[1 << 16];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
};

}  // namespace zelk
