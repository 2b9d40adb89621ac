// Texts made safe to show: UTF-8 or Latin-1 taken character by character, control
// characters written as escapes.
#include "base/printable.hpp"

namespace zelk {

namespace {

bool continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

void appendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += digits[byte >> 4];
        out += digits[byte & 0xF];
    }
}

Character characterAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const Character latin1{lead, 1};
    if (lead < 0x80) return latin1;
    // The length of the sequence, and the range of its second byte, which rules out the
    // overlong forms, the surrogates and what lies above U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return latin1;
    }
    if (text.size() - at < length) return latin1;
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < low || second > high) return latin1;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!continuation(byte)) return latin1;
        code = (code << 6) | (byte & 0x3F);
    }
    if (code == 0xFFFE || code == 0xFFFF) return latin1;
    return {code, length};
}

std::string printable(std::string_view text) {
    std::string out;
    appendPrintable(out, text);
    return out;
}

void appendPrintable(std::string& out, std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        // Plain ASCII, by far the most of it, needs no decoding: appended a run at a time.
        std::size_t plain = at;
        while (plain < text.size() && static_cast<unsigned char>(text[plain]) >= 0x20 &&
               static_cast<unsigned char>(text[plain]) < 0x7F)
            ++plain;
        if (plain > at) {
            out.append(text.substr(at, plain - at));
            at = plain;
            continue;
        }
        const Character c = characterAt(text, at);
        if (isControl(c.code))
            appendEscaped(out, text.substr(at, c.length));
        else
            out.append(text.substr(at, c.length));
        at += c.length;
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    appendPrintable(out, text);
    out += '"';
    return out;
}

}  // namespace zelk
