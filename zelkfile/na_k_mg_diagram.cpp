// The Na-K-Mg triangle: the frame and the equilibrium lines first, the samples as they come,
// the closing tags last, all into a temporary file that is renamed into place at the end.
#include "zelkfile/na_k_mg_diagram.hpp"

#include <cmath>

#include "zelkfile/text.hpp"
#include "zelkfile/geothermometers.hpp"

namespace zelk::workbench {

namespace {

std::string coordinates(Point p) { return concat({"x=\"", fixed(p.x, 2), "\" y=\"", fixed(p.y, 2), "\""}); }

std::string pointList(Point p) { return concat({fixed(p.x, 2), ",", fixed(p.y, 2)}); }

// A point of a line given by its ratios: only the ratios fix the place in the triangle.
Point ratioPoint(double logNaK, double logK2Mg) { return naKMgPoint(std::pow(10, logNaK), 1, std::pow(10, -logK2Mg)); }

std::string frame() {
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\" height=\"760\" viewBox=\"0 0 800 760\" "
        "font-family=\"sans-serif\" font-size=\"12\">\n"
        "<title>Na-K-Mg diagram (Giggenbach 1988)</title>\n"
        "<rect width=\"800\" height=\"760\" fill=\"white\"/>\n"
        "<text x=\"400\" y=\"40\" font-size=\"18\" text-anchor=\"middle\">Na-K-Mg (Giggenbach 1988)</text>\n";
    svg += concat({"<polygon points=\"", pointList(naCorner), " ", pointList(kCorner), " ", pointList(mgCorner),
                   "\" fill=\"none\" stroke=\"black\"/>\n"});
    const auto corner = [&](Point p, std::string_view name) {
        svg += concat({"<text ", coordinates(p), " text-anchor=\"middle\" font-size=\"14\">", name, "</text>\n"});
    };
    corner({naCorner.x, naCorner.y + 25}, "Na/1000");
    corner({kCorner.x, kCorner.y + 25}, "K/100");
    corner({mgCorner.x, mgCorner.y - 12}, "\u221AMg");

    // Full equilibrium: where Na/K and K/Mg give the same temperature, every 5 °C.
    svg += "<polyline class=\"full-equilibrium\" fill=\"none\" stroke=\"#1f4e9c\" stroke-width=\"1.5\" points=\"";
    for (int t = 60; t <= 340; t += 5) {
        const EquilibriumRatios r = fullEquilibrium(t);
        if (t > 60) svg += ' ';
        svg += pointList(ratioPoint(r.logNaK, r.logK2Mg));
    }
    svg += "\"/>\n";
    for (int t = 60; t <= 340; t += 20) {
        const EquilibriumRatios r = fullEquilibrium(t);
        const Point p = ratioPoint(r.logNaK, r.logK2Mg);
        svg += concat({"<circle class=\"temperature\" cx=\"", fixed(p.x, 2), "\" cy=\"", fixed(p.y, 2),
                       "\" r=\"2\" fill=\"#1f4e9c\"/>\n<text ", coordinates({p.x - 6, p.y - 4}),
                       " text-anchor=\"end\" font-size=\"10\" fill=\"#1f4e9c\">", std::to_string(t), "</text>\n"});
    }
    // Partial equilibrium, maturity index 2.0: log(Na/K) = 2.0 - 0.315 log(K^2/Mg), drawn
    // over the K/Mg temperatures of the full-equilibrium line.
    svg += "<polyline class=\"partial-equilibrium\" fill=\"none\" stroke=\"#9c1f1f\" stroke-dasharray=\"6 4\" "
           "points=\"";
    for (int t = 60; t <= 340; t += 5) {
        const double logK2Mg = fullEquilibrium(t).logK2Mg;
        if (t > 60) svg += ' ';
        svg += pointList(ratioPoint(partialEquilibriumIndex - 0.315 * logK2Mg, logK2Mg));
    }
    svg += "\"/>\n";
    svg +=
        "<line x1=\"40\" y1=\"712\" x2=\"70\" y2=\"712\" stroke=\"#1f4e9c\" stroke-width=\"1.5\"/>\n"
        "<text x=\"76\" y=\"716\">full equilibrium, \u00B0C (Na/K and K/Mg agree)</text>\n"
        "<line x1=\"40\" y1=\"736\" x2=\"70\" y2=\"736\" stroke=\"#9c1f1f\" stroke-dasharray=\"6 4\"/>\n"
        "<text x=\"76\" y=\"740\">partial equilibrium (maturity index 2.0); immature waters lie beyond "
        "it, away from Na</text>\n";
    return svg;
}

}  // namespace

Point naKMgPoint(double na, double k, double mg) {
    const double a = na / 1000, b = k / 100, c = std::sqrt(mg);
    const double sum = a + b + c;
    return {(a * naCorner.x + b * kCorner.x + c * mgCorner.x) / sum,
            (a * naCorner.y + b * kCorner.y + c * mgCorner.y) / sum};
}

bool NaKMgDiagram::open(std::string& error) {
    try {
        file_ = std::make_unique<PreparedOutput>(path_);
    } catch (const OutputFailure& failure) {
        error = failure.what();
        return false;
    }
    write(frame());
    return true;
}

void NaKMgDiagram::sample(std::string_view file, long index, std::string_view sampleNumber, double na, double k,
                          double mg) {
    const Point p = naKMgPoint(na, k, mg);
    const std::string label = xmlText(sampleNumber.substr(0, sampleNumber.find_last_not_of(' ') + 1));
    write(concat({"<g class=\"sample\"><title>", xmlText(file), ", sample ", std::to_string(index), ": ", label,
                  "</title><circle cx=\"", fixed(p.x, 2), "\" cy=\"", fixed(p.y, 2),
                  "\" r=\"4\" fill=\"#e07b00\" stroke=\"black\" stroke-width=\"0.5\"/><text ",
                  coordinates({p.x + 6, p.y - 6}), " font-size=\"11\">", label, "</text></g>\n"}));
}

void NaKMgDiagram::write(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= 1 << 16) flush();
}

void NaKMgDiagram::flush() {
    if (writeError_.empty()) {
        try {
            file_->write(buffer_);
        } catch (const OutputFailure& failure) {
            writeError_ = failure.what();
        }
    }
    buffer_.clear();
}

bool NaKMgDiagram::commit(std::string& error) {
    write("</svg>\n");
    flush();
    if (writeError_.empty()) {
        try {
            file_->sync();
            // From here the picture goes in place and the run says so, whatever signal comes.
            holdSignalsToTheEnd();
            file_->commit();
        } catch (const OutputFailure& failure) {
            writeError_ = failure.what();
        }
    }
    error = writeError_;
    return writeError_.empty();
}

}  // namespace zelk::workbench
