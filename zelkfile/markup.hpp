// SVG and XHTML as the workbench writes them: one writer of elements that escapes text in
// one place, and the widths of the one font its pictures are set in.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_io.hpp"

namespace zelk::workbench {

// A text of a file unescaped (escaping is xmlText's, zelkfile/text.hpp): UTF-8 as it is, any
// other byte taken as Latin-1, control characters left as they were for xmlText to show.
// Pieces of different origin (a sample number, a file name) are made UTF-8 so before they
// are joined.
std::string asUtf8(std::string_view text);

// A number for a coordinate: two decimals, no sign on zero.
std::string coordinate(double value);

// The font of every picture, which the page and the pictures name and whose widths below are
// the ones a browser lays the text out with.
inline constexpr std::string_view fontFamily = "DejaVu Sans";
// Above and below the baseline, as parts of the size (the font's hhea ascent and descent).
inline constexpr double fontAscent = 1901.0 / 2048;
inline constexpr double fontDescent = 483.0 / 2048;
// The advance of a text (UTF-8, or Latin-1 as xmlText takes it) set at size px, no
// kerning. A character the table does not hold counts as the font's widest.
double textWidth(std::string_view text, double size);

struct Attribute {
    std::string_view name;
    std::string value;  // as it reads, escaped when written
};

// Elements appended to a string: every text and attribute value goes through xmlText.
// With a drain, the writer hands it the string whenever that has grown large, to be written
// out and emptied, so that a long document never sits whole in memory.
class Markup {
public:
    explicit Markup(std::string& out, std::function<void(std::string&)> drain = {})
        : out_(out), drain_(std::move(drain)) {}

    void open(std::string_view name, std::initializer_list<Attribute> attributes = {});
    void close();  // the element opened last
    void empty(std::string_view name, std::initializer_list<Attribute> attributes = {});
    void element(std::string_view name, std::initializer_list<Attribute> attributes, std::string_view text);
    void text(std::string_view text);
    // Markup that is already markup: the document's preamble and style sheet.
    void raw(std::string_view markup) { out_ += markup; }
    std::size_t depth() const { return open_.size(); }

private:
    void start(std::string_view name, std::initializer_list<Attribute> attributes);
    void ended() {
        if (drain_ && out_.size() >= gatheredBytes) drain_(out_);
    }

    std::string& out_;
    std::function<void(std::string&)> drain_;
    std::vector<std::string> open_;
};

}  // namespace zelk::workbench
