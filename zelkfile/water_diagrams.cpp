// The Cl-SO4-HCO3 triangle and the enthalpy-chloride and silica-enthalpy diagrams: each keeps
// its samples compactly as they come and draws itself, frame and fixed texts first, then the
// marks and their labels laid out around those texts.
#include "zelkfile/water_diagrams.hpp"

#include <algorithm>
#include <cmath>

#include "zelkfile/if97.hpp"
#include "zelkfile/na_k_mg_diagram.hpp"
#include "zelkfile/text.hpp"

namespace zelk::workbench {

namespace {

constexpr double width = pictureWidth;
constexpr double zeroCelsius = 273.15;
constexpr int SiO2 = 9, Cl = 15, SO4 = 16;

// A concentration the block knows, zero included (none of it).
std::optional<double> amount(float value) {
    if (value == 0) return 0.0;
    return measured(value);
}

// The chloride or silica of the total discharge: the water's share of it, 1 - x.
std::optional<double> ofTotalDischarge(std::optional<double> inWater, const Geothermometers& g) {
    if (!inWater || !g.steamFraction) return std::nullopt;
    return *inWater * (1 - *g.steamFraction);
}

std::string samplesDrawn(std::size_t count) {
    return concat({std::to_string(count), count == 1 ? " sample drawn" : " samples drawn"});
}

std::string labelNote(const PlottedSamples& samples) {
    return samples.labelled() ? "; a point whose label finds no room carries its number from the table."
                              : concat({"; over ", std::to_string(labelledSamplesAtMost),
                                        " samples the points are drawn without labels."});
}

// Axes from zero to a round number above the largest value, in at most eight steps of 1, 2,
// 2.5 or 5 times a power of ten.
struct Axis {
    double step = 1, max = 1;
    int decimals = 0;
};

Axis axisFor(double largest) {
    if (!(largest > 0) || !std::isfinite(largest)) largest = 1;
    const double magnitude = std::pow(10, std::floor(std::log10(largest / 8)));
    Axis axis;
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        axis.step = m * magnitude;
        if (largest / axis.step <= 8) break;
    }
    axis.max = std::ceil(largest / axis.step - 1e-9) * axis.step;
    axis.decimals = std::max(0, -static_cast<int>(std::floor(std::log10(axis.step) + 1e-9)) + (axis.step / magnitude == 2.5));
    return axis;
}

struct Plot {
    double left = 90, right = 770, top = 70, bottom = 540;
};
constexpr Plot plot;
constexpr double xyLegendTop = 616;

ToPage mapping(Axis x, Axis y) {
    return [x, y](double a, double b) {
        return std::pair<double, double>(plot.left + a / x.max * (plot.right - plot.left),
                                         plot.bottom - b / y.max * (plot.bottom - plot.top));
    };
}

// The frame, grid and ticks of an x-y diagram into svg, their texts into texts.
void axes(Markup& svg, Markup& texts, std::vector<Box>& obstacles, std::string_view title, Axis x, Axis y,
          std::string_view xTitle, std::string_view yTitle) {
    fixedText(texts, obstacles, width / 2, 40, title, 18, 0, "black", "title");
    const ToPage at = mapping(x, y);
    svg.open("g", {{"class", "grid"}, {"stroke", "#e4e4e4"}, {"stroke-width", "0.8"}});
    for (int i = 0; i * x.step <= x.max + 1e-9; ++i) {
        const double px = at(i * x.step, 0).first;
        svg.empty("line", {{"x1", coordinate(px)}, {"y1", coordinate(plot.top)}, {"x2", coordinate(px)},
                           {"y2", coordinate(plot.bottom)}});
        fixedText(texts, obstacles, px, plot.bottom + 18, fixed(i * x.step, x.decimals), labelSize, 0, "black", "tick");
    }
    for (int i = 0; i * y.step <= y.max + 1e-9; ++i) {
        const double py = at(0, i * y.step).second;
        svg.empty("line", {{"x1", coordinate(plot.left)}, {"y1", coordinate(py)}, {"x2", coordinate(plot.right)},
                           {"y2", coordinate(py)}});
        fixedText(texts, obstacles, plot.left - 8, py + 4, fixed(i * y.step, y.decimals), labelSize, 1, "black", "tick");
    }
    svg.close();
    svg.empty("rect", {{"x", coordinate(plot.left)}, {"y", coordinate(plot.top)},
                       {"width", coordinate(plot.right - plot.left)}, {"height", coordinate(plot.bottom - plot.top)},
                       {"fill", "none"}, {"stroke", "black"}});
    fixedText(texts, obstacles, (plot.left + plot.right) / 2, plot.bottom + 44, xTitle, 13, 0, "black", "axis");
    // Up the left side, read upwards.
    const double mid = (plot.top + plot.bottom) / 2, size = 13, w = textWidth(yTitle, size), ax = 34;
    obstacles.push_back({ax - fontAscent * size, mid - w / 2, ax + fontDescent * size, mid + w / 2});
    texts.element("text", {{"class", "axis"}, {"x", coordinate(ax)}, {"y", coordinate(mid)}, {"font-size", "13"},
                           {"text-anchor", "middle"},
                           {"transform", concat({"rotate(-90 ", coordinate(ax), " ", coordinate(mid), ")"})}},
                  yTitle);
}

// A picture's fixed texts go over the marks, so that no point hides one; drawn with a halo.
void openTexts(Markup& texts) {
    texts.open("g", {{"class", "fixed"}, {"stroke", "white"}, {"stroke-width", "3"}, {"paint-order", "stroke"},
                     {"stroke-linejoin", "round"}});
}

}  // namespace

std::optional<double> dischargeEnthalpy(const SampleRecord& sample) {
    if (const std::optional<double> h = measured(sample.fluidEnthalpy)) return h;
    // One that the block gives but that is lost or below zero is not made up either.
    if (sample.fluidEnthalpy != 0 || sample.samplingPressure != 0) return std::nullopt;
    const std::optional<double> t = measured(sample.samplingTemperature);
    if (!t) return std::nullopt;
    return if97::saturatedLiquidEnthalpy(*t + zeroCelsius);
}

std::vector<CurvePoint> quartzSolubility() {
    // The report's quartz equation rises with the silica: the silica of a temperature is
    // found by halving between 0.01 and 10000 mg/kg.
    const auto quartz = [](double silica) { return quartzTemperature(silica).value_or(-zeroCelsius); };
    std::vector<CurvePoint> curve;
    for (int t = 25; t <= 350; t += 5) {
        double low = 0.01, high = 10000;
        for (int i = 0; i < 60; ++i) {
            const double middle = std::sqrt(low * high);
            (quartz(middle) < t ? low : high) = middle;
        }
        curve.push_back({double(t), *if97::saturatedLiquidEnthalpy(t + zeroCelsius), (low + high) / 2});
    }
    return curve;
}

// --- Cl-SO4-HCO3 -------------------------------------------------------------------------

namespace {

using Where = std::optional<std::pair<double, double>>;

Where anionsPlace(const PictureSample& sample, std::string_view* why) {
    const WaterConc& water = sample.record.waterConc;
    const std::optional<double> cl = amount(water[Cl]), so4 = amount(water[SO4]), hco3 = sample.bicarbonate();
    const auto none = [&](std::string_view reason) {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (!hco3 || *hco3 < 0) return none("no HCO3");
    if (!cl) return none("no Cl");
    if (!so4) return none("no SO4");
    const double sum = *cl + *so4 + *hco3;
    if (!(sum > 0)) return none("Cl, SO4 and HCO3 all 0");
    // Cl lower left, HCO3 lower right, SO4 at the top: the corners of the Na-K-Mg triangle.
    return std::pair((*cl * naCorner.x + *hco3 * kCorner.x + *so4 * mgCorner.x) / sum,
                     (*cl * naCorner.y + *hco3 * kCorner.y + *so4 * mgCorner.y) / sum);
}

// Enthalpy-chloride: (Cl (1 - x), H), data coordinates.
Where chloridePlace(const PictureSample& sample, std::string_view* why) {
    const std::optional<double> cl = measured(sample.record.waterConc[Cl]);
    const std::optional<double> h = dischargeEnthalpy(sample.record);
    const std::optional<double> total = ofTotalDischarge(cl, sample.g);
    if (why) *why = !cl ? "no Cl" : !h ? "no enthalpy" : "no steam fraction";
    if (!cl || !h || !total) return std::nullopt;
    return std::pair(*total, *h);
}

// Silica-enthalpy: (H, SiO2 (1 - x)), data coordinates.
Where silicaPlace(const PictureSample& sample, std::string_view* why) {
    const std::optional<double> silica = measured(sample.record.waterConc[SiO2]);
    const std::optional<double> h = dischargeEnthalpy(sample.record);
    const std::optional<double> total = ofTotalDischarge(silica, sample.g);
    if (why) *why = !silica ? "no SiO2" : !h ? "no enthalpy" : "no steam fraction";
    if (!silica || !h || !total) return std::nullopt;
    return std::pair(*h, *total);
}

void add(PlottedSamples& samples, const PictureSample& sample, Where (*place)(const PictureSample&, std::string_view*)) {
    const std::string_view name = view(sample.record.sampleNumber);
    std::string_view why;
    if (const Where at = place(sample, &why))
        samples.add(sample.file, sample.number, name, at->first, at->second);
    else
        samples.leaveOut(sample.number, name, why);
}

}  // namespace

void ClSO4HCO3Triangle::sample(const PictureSample& sample) { add(samples_, sample, anionsPlace); }

bool ClSO4HCO3Triangle::draw(Markup& svg, std::span<const ReportedFile> files, const Replay& replay) const {
    const double h = 716 + legendLine * static_cast<double>(files.size() + 1);
    openPicture(svg, "cl-so4-hco3", width, h, "Cl-SO4-HCO3 triangle (Giggenbach 1991)");
    std::vector<Box> obstacles;
    std::string fixedTexts;
    Markup texts(fixedTexts);
    openTexts(texts);
    fixedText(texts, obstacles, width / 2, 40, "Cl-SO4-HCO3 (Giggenbach 1991)", 18, 0, "black", "title");
    const auto point = [](Point p) { return concat({coordinate(p.x), ",", coordinate(p.y)}); };
    svg.empty("polygon", {{"points", concat({point(naCorner), " ", point(kCorner), " ", point(mgCorner)})},
                          {"fill", "none"},
                          {"stroke", "black"}});
    fixedText(texts, obstacles, naCorner.x, naCorner.y + 25, "Cl", 14, 0, "black", "corner");
    fixedText(texts, obstacles, kCorner.x, kCorner.y + 25, "HCO3", 14, 0, "black", "corner");
    fixedText(texts, obstacles, mgCorner.x, mgCorner.y - 12, "SO4", 14, 0, "black", "corner");
    texts.close();
    // Where chemists read the kinds of water; light, under the marks.
    std::vector<Box> regions;
    fixedText(svg, regions, naCorner.x + 30, naCorner.y - 16, "mature waters", 12, -1, "#8c8c8c", "region");
    fixedText(svg, regions, 250, 420, "volcanic waters", 12, -1, "#8c8c8c", "region");
    fixedText(svg, regions, 432, 180, "steam-heated waters", 12, -1, "#8c8c8c", "region");
    fixedText(svg, regions, kCorner.x - 40, kCorner.y - 16, "peripheral waters", 12, 1, "#8c8c8c", "region");
    obstacles.insert(obstacles.end(), regions.begin(), regions.end());
    const double noteY = legendOfFiles(svg, obstacles, files, 716, !samples_.labelled());
    bool read = true;
    if (samples_.streamed())
        read = samples_.drawAgain(svg, replay, [](const PictureSample& s) { return anionsPlace(s, nullptr); });
    else
        samples_.draw(svg, obstacles, {0, 60, width, naCorner.y}, noteY);
    svg.raw(fixedTexts);
    svg.close();
    return read;
}

std::string ClSO4HCO3Triangle::caption() const {
    return concat({"Cl-SO4-HCO3 triangle after Giggenbach (1991): the relative proportions of Cl, SO4 and HCO3 "
                   "(mg/kg), HCO3 being the bicarbonate ion of the water at its pH and pH temperature. ",
                   samplesDrawn(samples_.size()), labelNote(samples_)});
}

// The samples of an x-y diagram where their values put them, kept and labelled or read again
// when streamed, then the fixed texts over them; false when a file read again had changed.
bool plotSamples(Markup& svg, const PlottedSamples& samples, std::span<const Box> obstacles, const Replay& replay,
                 Where (*place)(const PictureSample&, std::string_view*), const ToPage& at, double noteY,
                 const std::string& fixedTexts) {
    bool read = true;
    if (samples.streamed())
        read = samples.drawAgain(svg, replay, [&](const PictureSample& s) -> Where {
            const Where p = place(s, nullptr);
            return p ? Where(at(p->first, p->second)) : std::nullopt;
        });
    else
        samples.draw(svg, obstacles, {plot.left, plot.top, width, plot.bottom}, noteY, at);
    svg.raw(fixedTexts);
    svg.close();
    return read;
}

// --- enthalpy-chloride ---------------------------------------------------------------------

void EnthalpyChlorideDiagram::sample(const PictureSample& sample) { add(samples_, sample, chloridePlace); }

bool EnthalpyChlorideDiagram::draw(Markup& svg, std::span<const ReportedFile> files, const Replay& replay) const {
    const Axis x = axisFor(samples_.largestX()), y = axisFor(std::max(samples_.largestY(), 500.0));
    const double h = xyLegendTop + legendLine * static_cast<double>(files.size() + 1);
    openPicture(svg, "enthalpy-chloride", width, h, "Enthalpy-chloride diagram");
    std::vector<Box> obstacles;
    std::string fixedTexts;
    Markup texts(fixedTexts);
    openTexts(texts);
    axes(svg, texts, obstacles, "Enthalpy-chloride", x, y, "Cl of the total discharge, Cl (1 \u2212 x), mg/kg",
         "enthalpy of the total discharge, kJ/kg");
    texts.close();
    const double noteY = legendOfFiles(svg, obstacles, files, xyLegendTop, !samples_.labelled());
    return plotSamples(svg, samples_, obstacles, replay, chloridePlace, mapping(x, y), noteY, fixedTexts);
}

std::string EnthalpyChlorideDiagram::caption() const {
    return concat({"Enthalpy-chloride diagram: the chloride of the total discharge, Cl (1 \u2212 x) with x the steam "
                   "fraction at sampling, against the enthalpy of the total discharge (the fluid enthalpy where "
                   "given, else, for a sample at 0 bar-g, that of saturated liquid water at the sampling "
                   "temperature, IAPWS-IF97). ",
                   samplesDrawn(samples_.size()), labelNote(samples_)});
}

// --- silica-enthalpy -----------------------------------------------------------------------

void SilicaEnthalpyDiagram::sample(const PictureSample& sample) { add(samples_, sample, silicaPlace); }

bool SilicaEnthalpyDiagram::draw(Markup& svg, std::span<const ReportedFile> files, const Replay& replay) const {
    const std::vector<CurvePoint> curve = quartzSolubility();
    const Axis x = axisFor(std::max(samples_.largestX(), curve.back().enthalpy));
    const Axis y = axisFor(std::max(samples_.largestY(), curve.back().silica));
    const ToPage at = mapping(x, y);
    const double h = xyLegendTop + legendLine * static_cast<double>(files.size() + 2);
    openPicture(svg, "silica-enthalpy", width, h, "Silica-enthalpy diagram (after Fournier and Truesdell 1974)");
    std::vector<Box> obstacles;
    std::string fixedTexts;
    Markup texts(fixedTexts);
    openTexts(texts);
    axes(svg, texts, obstacles, "Silica-enthalpy (after Fournier and Truesdell 1974)", x, y,
         "enthalpy of the total discharge, kJ/kg", "SiO2 of the total discharge, SiO2 (1 \u2212 x), mg/kg");
    std::string points;
    for (const CurvePoint& c : curve) {
        const auto [px, py] = at(c.enthalpy, c.silica);
        points += concat({points.empty() ? "" : " ", coordinate(px), ",", coordinate(py)});
    }
    svg.empty("polyline", {{"class", "quartz-solubility"}, {"fill", "none"}, {"stroke", "#1f4e9c"},
                           {"stroke-width", "1.5"}, {"points", points}});
    // Its temperatures every 50 °C, set where no sample is.
    const std::vector<Box> marks = samples_.marks(at);
    const double lineHeight = (fontAscent + fontDescent) * labelSize;
    for (const CurvePoint& c : curve) {
        if (static_cast<int>(c.celsius) % 50 != 0) continue;
        const auto [px, py] = at(c.enthalpy, c.silica);
        svg.empty("circle", {{"cx", coordinate(px)}, {"cy", coordinate(py)}, {"r", "2"}, {"fill", "#1f4e9c"}});
        obstacles.push_back({px - 2, py - 2, px + 2, py + 2});
        const std::string text = fixed(c.celsius, 0);
        const double w = textWidth(text, labelSize) + 1;
        std::vector<Box> avoid(marks.begin(), marks.end());
        avoid.insert(avoid.end(), obstacles.begin(), obstacles.end());
        constexpr Place order[] = {aboveLeft, left, above, belowRight, right, below, aboveRight, belowLeft};
        const Box box = freePlace(px, py, w, lineHeight, 4, order, avoid, {plot.left, plot.top, plot.right, plot.bottom})
                            .value_or(Box{px - 4 - w, py - 4 - lineHeight, px - 4, py - 4});
        fixedText(texts, obstacles, box.left + 0.5, box.top + fontAscent * labelSize, text, labelSize, -1, "#1f4e9c",
                  "tick");
    }
    texts.close();
    svg.empty("line", {{"x1", "40"}, {"y1", coordinate(xyLegendTop - 4)}, {"x2", "70"}, {"y2", coordinate(xyLegendTop - 4)},
                       {"stroke", "#1f4e9c"}, {"stroke-width", "1.5"}});
    fixedText(svg, obstacles, 76, xyLegendTop,
              "quartz solubility, \u00B0C marked: the report's quartz geothermometer (Fournier and Potter 1982) "
              "at h' of IAPWS-IF97");
    const double noteY = legendOfFiles(svg, obstacles, files, xyLegendTop + legendLine, !samples_.labelled());
    return plotSamples(svg, samples_, obstacles, replay, silicaPlace, at, noteY, fixedTexts);
}

std::string SilicaEnthalpyDiagram::caption() const {
    return concat({"Silica-enthalpy diagram after Fournier and Truesdell (1974): the silica of the total discharge, "
                   "SiO2 (1 \u2212 x), against the enthalpy of the total discharge as in the enthalpy-chloride "
                   "diagram; the curve is the silica at which the report's quartz geothermometer (Fournier and "
                   "Potter 1982, calibrated 20 to 330 \u00B0C) gives each temperature from 25 to 350 \u00B0C, at "
                   "the enthalpy of saturated liquid water there. ",
                   samplesDrawn(samples_.size()), labelNote(samples_)});
}

}  // namespace zelk::workbench
