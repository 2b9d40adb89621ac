// The console: answers read line by line from a byte source, screens written to a byte
// sink. Prompts are flushed; everything else waits in memory for the next prompt.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/byte_io.hpp"
#include "base/line_reader.hpp"
#include "base/text_buffer.hpp"

namespace zelk {

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
    std::string_view readLine() { return lines_.readLine(); }

private:
    LineReader lines_;
    ByteSink& sink_;
    TextBuffer pending_{8192};
};

}  // namespace zelk
