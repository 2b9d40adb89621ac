// The element writer and its one escaping function, and DejaVu Sans's advance widths.
#include "zelkfile/markup.hpp"

#include <cstdint>

#include "zelkfile/text.hpp"

namespace zelk::workbench {

namespace {

// Advance widths of DejaVu Sans 2.37 (Debian's fonts-dejavu-core, DejaVuSans.ttf), in font
// units of 2048 to the em, read from the font's hmtx table through its cmap with
// python3-fonttools: U+0020 to U+007E, then U+00A0 to U+00FF.
constexpr std::uint16_t asciiAdvance[] = {
    651, 821, 942, 1716, 1303, 1946, 1597, 563, 799, 799, 1024, 1716, 651, 739, 651, 690,
    1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 1303, 690, 690, 1716, 1716, 1716, 1087,
    2048, 1401, 1405, 1430, 1577, 1294, 1178, 1587, 1540, 604, 604, 1343, 1141, 1767, 1532, 1612,
    1235, 1612, 1423, 1300, 1251, 1499, 1401, 2025, 1403, 1251, 1403, 799, 690, 799, 1716, 1024,
    1024, 1255, 1300, 1126, 1300, 1260, 721, 1300, 1298, 569, 569, 1186, 569, 1995, 1298, 1253,
    1300, 1300, 842, 1067, 803, 1298, 1212, 1675, 1212, 1212, 1075, 1303, 690, 1303, 1716,
};
constexpr std::uint16_t latin1Advance[] = {
    651, 821, 1303, 1303, 1303, 1303, 690, 1024, 1024, 2048, 965, 1253, 1716, 739, 2048, 1024,
    1024, 1716, 821, 821, 1024, 1303, 1303, 651, 1024, 821, 965, 1253, 1985, 1985, 1985, 1087,
    1401, 1401, 1401, 1401, 1401, 1401, 1995, 1430, 1294, 1294, 1294, 1294, 604, 604, 604, 604,
    1587, 1532, 1612, 1612, 1612, 1612, 1612, 1716, 1612, 1499, 1499, 1499, 1499, 1251, 1239, 1290,
    1255, 1255, 1255, 1255, 1255, 1255, 2011, 1126, 1260, 1260, 1260, 1260, 569, 569, 569, 569,
    1253, 1298, 1253, 1253, 1253, 1253, 1253, 1716, 1253, 1298, 1298, 1298, 1298, 1212, 1300, 1212,
};
constexpr std::uint16_t widestAdvance = 3554;  // the widest glyph of the font

std::uint16_t advance(char32_t c) {
    if (c >= 0x20 && c < 0x7F) return asciiAdvance[c - 0x20];
    if (c >= 0xA0 && c <= 0xFF) return latin1Advance[c - 0xA0];
    switch (c) {
        case U'\u2013': return 1024;  // en dash
        case U'\u2026': return 2048;  // ellipsis
        case U'\u2212': return 1716;  // minus
        case U'\u221A': return 1305;  // square root
        default: return widestAdvance;
    }
}

}  // namespace

std::string asUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Character c = characterAt(text, at);
        // A control character keeps its bytes, so that xmlText shows them as they were.
        if (isControl(c.code))
            out += text.substr(at, c.length);
        else
            appendUtf8(out, c.code);
        at += c.length;
    }
    return out;
}

std::string coordinate(double value) { return fixed(value, 2); }

double textWidth(std::string_view text, double size) {
    long units = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character c = characterAt(text, at);
        // A control character is drawn as its escape, \x1b.
        units += isControl(c.code) ? 4 * advance(U'x') : advance(c.code);
        at += c.length;
    }
    return static_cast<double>(units) * size / 2048;
}

void Markup::start(std::string_view name, std::initializer_list<Attribute> attributes) {
    out_ += '<';
    out_ += name;
    for (const Attribute& attribute : attributes) {
        out_ += ' ';
        out_ += attribute.name;
        out_ += "=\"";
        out_ += xmlText(attribute.value);
        out_ += '"';
    }
}

void Markup::open(std::string_view name, std::initializer_list<Attribute> attributes) {
    start(name, attributes);
    out_ += '>';
    open_.emplace_back(name);
}

void Markup::close() {
    out_ += "</";
    out_ += open_.back();
    out_ += ">\n";
    open_.pop_back();
    ended();
}

void Markup::empty(std::string_view name, std::initializer_list<Attribute> attributes) {
    start(name, attributes);
    out_ += "/>\n";
    ended();
}

void Markup::element(std::string_view name, std::initializer_list<Attribute> attributes, std::string_view text) {
    start(name, attributes);
    out_ += '>';
    out_ += xmlText(text);
    out_ += "</";
    out_ += name;
    out_ += ">\n";
    ended();
}

void Markup::text(std::string_view text) { out_ += xmlText(text); }

}  // namespace zelk::workbench
