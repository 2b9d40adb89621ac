// XML text from files and tables: always well-formed UTF-8, the control characters written
// as escapes.
#include "zelkfile/text.hpp"

namespace zelk::workbench {

std::string xmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Character c = characterAt(text, at);
        switch (c.code) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (isControl(c.code))
                    appendEscaped(out, text.substr(at, c.length));
                else
                    appendUtf8(out, c.code);
        }
        at += c.length;
    }
    return out;
}

}  // namespace zelk::workbench
