// The Na-K-Mg triangle: the frame, the equilibrium lines and the isotherms with their fixed
// texts first, then the samples' marks and the labels laid out around those texts.
#include "zelkfile/na_k_mg_diagram.hpp"

#include <cmath>

#include "base/startup.hpp"
#include "zelkfile/geothermometers.hpp"
#include "zelkfile/text.hpp"

namespace zelk::workbench {

namespace {

constexpr double width = pictureWidth;
constexpr double legendTop = 716;
constexpr double keyColumnWidth = 230;
constexpr double keyLine = 16;

std::string pointList(Point p) { return concat({coordinate(p.x), ",", coordinate(p.y)}); }

// A point of a line given by its ratios: only the ratios fix the place in the triangle.
Point ratioPoint(double logNaK, double logK2Mg) { return naKMgPoint(std::pow(10, logNaK), 1, std::pow(10, -logK2Mg)); }

// Four lines of the legend, one per file, and the line of a note.
double height(std::size_t files) { return legendTop + static_cast<double>(4 + files + 1) * legendLine; }

// The frame and the lines, and into texts their fixed texts, each text's box added to
// obstacles: the texts go over the samples' marks, so that no point hides a tick.
void frame(Markup& svg, Markup& texts, std::vector<Box>& obstacles, std::span<const Box> marks) {
    fixedText(texts, obstacles, width / 2, 40, "Na-K-Mg (Giggenbach 1988)", 18, 0, "black", "title");
    svg.empty("polygon", {{"points", concat({pointList(naCorner), " ", pointList(kCorner), " ", pointList(mgCorner)})},
                          {"fill", "none"},
                          {"stroke", "black"}});

    // The isotherms: Na/K ones run from the sqrt(Mg) corner to the Na-K side, K/Mg ones from
    // the Na corner to the K-Mg side; each at the ratio its geothermometer gives.
    svg.open("g", {{"class", "isotherms"}});
    std::vector<double> naKEnds, kMgEnds;
    for (int t = firstIsotherm; t <= lastIsotherm; t += 20) {
        const EquilibriumRatios r = fullEquilibrium(t);
        const Point naK = naKMgPoint(std::pow(10, r.logNaK), 1, 0);
        const Point kMg = naKMgPoint(0, 1, std::pow(10, -r.logK2Mg));
        svg.empty("line", {{"class", "na-k-isotherm"}, {"x1", coordinate(mgCorner.x)}, {"y1", coordinate(mgCorner.y)},
                           {"x2", coordinate(naK.x)}, {"y2", coordinate(naK.y)}, {"stroke", "#9cc3e4"},
                           {"stroke-width", "0.8"}});
        svg.empty("line", {{"class", "k-mg-isotherm"}, {"x1", coordinate(naCorner.x)}, {"y1", coordinate(naCorner.y)},
                           {"x2", coordinate(kMg.x)}, {"y2", coordinate(kMg.y)}, {"stroke", "#e2c29c"},
                           {"stroke-width", "0.8"}, {"stroke-dasharray", "4 3"}});
        naKEnds.push_back(naK.x);
        kMgEnds.push_back(kMg.y);
    }
    // Na/K labels below the Na-K side, upright, read upwards; K/Mg labels right of the K-Mg
    // side, where the lines crowd towards the K corner spread apart and joined by a leader.
    const double lineHeight = (fontAscent + fontDescent) * labelSize;
    const std::vector<double> naKAt = spread(naKEnds, lineHeight + 1, naCorner.x + 30, kCorner.x - 30);
    const std::vector<double> kMgAt = spread(kMgEnds, lineHeight + 1, mgCorner.y + 20, kCorner.y - lineHeight);
    const auto sideX = [](double y) { return mgCorner.x + (y - mgCorner.y) * (kCorner.x - mgCorner.x) / (kCorner.y - mgCorner.y); };
    for (std::size_t i = 0; i < naKAt.size(); ++i) {
        const std::string t = std::to_string(firstIsotherm + 20 * static_cast<int>(i));
        const double x = naKAt[i] + 0.35 * labelSize, y = naCorner.y + 5;
        const double w = textWidth(t, labelSize);
        obstacles.push_back({x - fontAscent * labelSize, y, x + fontDescent * labelSize, y + w});
        texts.element("text", {{"class", "tick"}, {"x", coordinate(x)}, {"y", coordinate(y)}, {"text-anchor", "end"},
                             {"transform", concat({"rotate(-90 ", coordinate(x), " ", coordinate(y), ")"})},
                             {"fill", "#2f6ea5"}},
                    t);
        const double y0 = kMgAt[i] + 0.35 * labelSize;
        const double x0 = sideX(kMgAt[i]) + 8;
        if (std::fabs(kMgAt[i] - kMgEnds[i]) > 1)
            svg.empty("line", {{"class", "leader"}, {"x1", coordinate(sideX(kMgEnds[i]))}, {"y1", coordinate(kMgEnds[i])},
                               {"x2", coordinate(x0 - 2)}, {"y2", coordinate(kMgAt[i])}, {"stroke", "#c49a6c"},
                               {"stroke-width", "0.6"}});
        fixedText(texts, obstacles, x0, y0, t, labelSize, -1, "#8a5a2b", "tick");
    }
    svg.close();

    // Full equilibrium: where Na/K and K/Mg give the same temperature, every 5 °C.
    std::string points;
    for (int t = 60; t <= 340; t += 5) {
        const EquilibriumRatios r = fullEquilibrium(t);
        if (t > 60) points += ' ';
        points += pointList(ratioPoint(r.logNaK, r.logK2Mg));
    }
    svg.empty("polyline", {{"class", "full-equilibrium"}, {"fill", "none"}, {"stroke", "#1f4e9c"},
                           {"stroke-width", "1.5"}, {"points", points}});
    for (int t = 60; t <= 340; t += 20) {
        const EquilibriumRatios r = fullEquilibrium(t);
        const Point p = ratioPoint(r.logNaK, r.logK2Mg);
        svg.empty("circle", {{"class", "temperature"}, {"cx", coordinate(p.x)}, {"cy", coordinate(p.y)}, {"r", "2"},
                             {"fill", "#1f4e9c"}});
        obstacles.push_back({p.x - 2, p.y - 2, p.x + 2, p.y + 2});
        // Up and left of the line, away from where waters plot, unless a sample is there.
        const std::string text = std::to_string(t);
        const double w = textWidth(text, labelSize) + 1;
        std::vector<Box> avoid(marks.begin(), marks.end());
        avoid.insert(avoid.end(), obstacles.begin(), obstacles.end());
        constexpr Place order[] = {aboveLeft, left, above, belowLeft, aboveRight, below, right, belowRight};
        const Box box = freePlace(p.x, p.y, w, lineHeight, 4, order, avoid, {0, 60, width, naCorner.y})
                            .value_or(Box{p.x - 4 - w, p.y - 4 - lineHeight, p.x - 4, p.y - 4});
        fixedText(texts, obstacles, box.left + 0.5, box.top + fontAscent * labelSize, text, labelSize, -1, "#1f4e9c",
                  "tick");
    }
    // Partial equilibrium, maturity index 2.0: log(Na/K) = 2.0 - 0.315 log(K^2/Mg), drawn
    // over the K/Mg temperatures of the full-equilibrium line.
    points.clear();
    for (int t = 60; t <= 340; t += 5) {
        const double logK2Mg = fullEquilibrium(t).logK2Mg;
        if (t > 60) points += ' ';
        points += pointList(ratioPoint(partialEquilibriumIndex - 0.315 * logK2Mg, logK2Mg));
    }
    svg.empty("polyline", {{"class", "partial-equilibrium"}, {"fill", "none"}, {"stroke", "#9c1f1f"},
                           {"stroke-dasharray", "6 4"}, {"points", points}});

    fixedText(texts, obstacles, naCorner.x, naCorner.y + 25, "Na/1000", 14, 0, "black", "corner");
    fixedText(texts, obstacles, kCorner.x, kCorner.y + 25, "K/100", 14, 0, "black", "corner");
    fixedText(texts, obstacles, mgCorner.x, mgCorner.y - 12, "\u221AMg", 14, 0, "black", "corner");
}

// Returns the y of the note's line.
double legend(Markup& svg, std::vector<Box>& obstacles, std::span<const ReportedFile> files, bool unlabelled) {
    double y = legendTop;
    const auto entry = [&](std::initializer_list<Attribute> line, std::string_view text) {
        svg.empty("line", line);
        fixedText(svg, obstacles, 76, y, text);
        y += legendLine;
    };
    entry({{"x1", "40"}, {"y1", coordinate(y - 4)}, {"x2", "70"}, {"y2", coordinate(y - 4)}, {"stroke", "#1f4e9c"},
           {"stroke-width", "1.5"}},
          "full equilibrium, \u00B0C (Na/K and K/Mg agree)");
    entry({{"x1", "40"}, {"y1", coordinate(y - 4)}, {"x2", "70"}, {"y2", coordinate(y - 4)}, {"stroke", "#9c1f1f"},
           {"stroke-dasharray", "6 4"}},
          "partial equilibrium (maturity index 2.0); immature waters lie beyond it, away from Na");
    entry({{"x1", "40"}, {"y1", coordinate(y - 4)}, {"x2", "70"}, {"y2", coordinate(y - 4)}, {"stroke", "#9cc3e4"}},
          "Na/K isotherms (Giggenbach 1988), \u00B0C below the Na-K side");
    entry({{"x1", "40"}, {"y1", coordinate(y - 4)}, {"x2", "70"}, {"y2", coordinate(y - 4)}, {"stroke", "#e2c29c"},
           {"stroke-dasharray", "4 3"}},
          "K/Mg isotherms (Giggenbach 1988), \u00B0C right of the K-Mg side");
    return legendOfFiles(svg, obstacles, files, y, unlabelled);
}

}  // namespace

Point naKMgPoint(double na, double k, double mg) {
    const double a = na / 1000, b = k / 100, c = std::sqrt(mg);
    const double sum = a + b + c;
    return {(a * naCorner.x + b * kCorner.x + c * mgCorner.x) / sum,
            (a * naCorner.y + b * kCorner.y + c * mgCorner.y) / sum};
}

namespace {

// Where a sample goes, or why it cannot.
std::optional<Point> place(const SampleRecord& record, std::string_view* why) {
    const std::optional<double> na = measured(record.waterConc[10]), k = measured(record.waterConc[11]),
                                mg = measured(record.waterConc[12]);
    if (na && k && mg) return naKMgPoint(*na, *k, *mg);
    if (why) *why = !na ? "no Na" : !k ? "no K" : "no Mg";
    return std::nullopt;
}

}  // namespace

void NaKMgTriangle::sample(const PictureSample& sample) {
    const std::string_view name = view(sample.record.sampleNumber);
    std::string_view why;
    if (const std::optional<Point> p = place(sample.record, &why))
        samples_.add(sample.file, sample.number, name, p->x, p->y);
    else
        samples_.leaveOut(sample.number, name, why);
}

bool NaKMgTriangle::draw(Markup& svg, std::span<const ReportedFile> files, bool key, const Replay& replay) const {
    const bool unlabelled = !samples_.labelled();
    const double h = height(files.size());
    bool read = true;
    const auto open = [&](double total) { openPicture(svg, "na-k-mg", total, h, "Na-K-Mg triangle (Giggenbach 1988)"); };
    const auto body = [&](Markup& to) {
        std::vector<Box> obstacles;
        std::string fixedTexts;
        Markup texts(fixedTexts);
        texts.open("g", {{"class", "fixed"}, {"stroke", "white"}, {"stroke-width", "3"}, {"paint-order", "stroke"},
                         {"stroke-linejoin", "round"}});
        frame(to, texts, obstacles, samples_.marks());
        texts.close();
        const double noteY = legend(to, obstacles, files, unlabelled);
        std::vector<std::pair<long, std::string>> numbered;
        if (samples_.streamed())
            read = samples_.drawAgain(to, replay, [](const PictureSample& sample) {
                const std::optional<Point> p = place(sample.record, nullptr);
                return p ? std::optional<std::pair<double, double>>({p->x, p->y}) : std::nullopt;
            });
        else
            // Labels stay above the Na-K side, whose ticks sit below it.
            numbered = samples_.draw(to, obstacles, {0, 60, width, naCorner.y}, noteY);
        to.raw(fixedTexts);
        return numbered;
    };
    if (!key || unlabelled) {
        // No labels to lay out, or no key to make room for: the picture streams.
        open(width);
        body(svg);
        svg.close();
        return read;
    }
    // The key's columns are known only once the labels are laid out (of a few hundred
    // samples at most): the picture is drawn aside first.
    std::string text;
    Markup inner(text);
    const std::vector<std::pair<long, std::string>> numbered = body(inner);
    double total = width;
    if (!numbered.empty()) {
        const std::size_t rows = static_cast<std::size_t>((h - 100) / keyLine);
        const std::size_t columns = (numbered.size() + rows - 1) / rows;
        total += keyColumnWidth * static_cast<double>(columns);
        inner.open("g", {{"class", "key"}});
        inner.element("text", {{"x", coordinate(width)}, {"y", "80"}, {"font-size", "12"}},
                      "Points numbered for want of room:");
        for (std::size_t i = 0; i < numbered.size(); ++i) {
            const double x = width + keyColumnWidth * static_cast<double>(i / rows);
            const double y = 100 + keyLine * static_cast<double>(i % rows);
            inner.element("text", {{"x", coordinate(x + 28)}, {"y", coordinate(y)}, {"text-anchor", "end"}},
                          std::to_string(numbered[i].first));
            inner.element("text", {{"x", coordinate(x + 36)}, {"y", coordinate(y)}}, numbered[i].second);
        }
        inner.close();
    }
    open(total);
    svg.raw(text);
    svg.close();
    return read;
}

std::string NaKMgTriangle::caption() const {
    std::string text = concat(
        {"Na-K-Mg triangle after Giggenbach (1988): Na/1000, K/100 and \u221AMg (mg/kg) as shares of their sum; "
         "the isotherms of his Na/K and K/Mg geothermometers every 20 \u00B0C from ",
         std::to_string(firstIsotherm), " to ", std::to_string(lastIsotherm), " \u00B0C. ",
         std::to_string(samples_.size()), samples_.size() == 1 ? " sample drawn" : " samples drawn"});
    text += samples_.labelled() ? "; a point whose label finds no room carries its number from the table."
                                : concat({"; over ", std::to_string(labelledSamplesAtMost),
                                          " samples the points are drawn without labels."});
    return text;
}

bool NaKMgDiagram::open(std::span<const ReportedFile> files, std::string& error) {
    long total = 0;
    for (const ReportedFile& file : files) total += file.samples;
    if (total > static_cast<long>(labelledSamplesAtMost)) triangle_.stream();
    try {
        file_ = std::make_unique<PreparedOutput>(path_);
    } catch (const OutputFailure& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

bool NaKMgDiagram::commit(std::span<const ReportedFile> files, const Replay& replay, std::string& error) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    try {
        Markup svg(text, [&](std::string& full) {
            file_->write(full);
            full.clear();
        });
        if (!triangle_.draw(svg, files, true, replay)) {
            error = "the files changed while they were read; the diagram is not written";
            return false;
        }
        file_->write(text);
        file_->sync();
        // From here the picture goes in place and the run says so, whatever signal comes.
        holdSignalsToTheEnd();
        file_->commit();
    } catch (const OutputFailure& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

}  // namespace zelk::workbench
