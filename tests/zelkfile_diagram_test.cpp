// The pictures' parts apart: the element writer's escaping, the font's widths, the layout of
// labels and the spreading of a row of labels.
#include <algorithm>
#include <cmath>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zelkfile/geothermometers.hpp"
#include "zelkfile/if97.hpp"
#include "zelkfile/label_layout.hpp"
#include "zelkfile/markup.hpp"
#include "zelkfile/na_k_mg_diagram.hpp"
#include "zelkfile/water_diagrams.hpp"

namespace zelk::workbench {
namespace {

TEST(Markup, EscapesTextAndAttributesOnce) {
    std::string out;
    Markup m(out);
    m.open("g", {{"class", "a\"b<&>"}});
    m.element("text", {}, "K<&>\xB0");  // Latin-1 degree sign
    m.element("text", {}, "\xE2\x88\x9AMg");  // UTF-8 kept
    m.element("text", {}, std::string("a\x01" "b\x7F", 4));
    m.close();
    EXPECT_EQ(out,
              "<g class=\"a&quot;b&lt;&amp;&gt;\"><text>K&lt;&amp;&gt;\xC2\xB0</text>\n"
              "<text>\xE2\x88\x9AMg</text>\n<text>a\\x01b\\x7f</text>\n</g>\n");
}

// Widths in px at 11 px from the font's table: digits 1303/2048 em, "W" 2025, "i" 569; a
// character outside the table counts as the widest glyph, 3554.
TEST(Markup, WidthsOfDejaVuSans) {
    const struct {
        std::string text;
        double units;
    } cases[] = {
        {"0123456789", 13030}, {"KR-5/2002-020", 1343 + 1423 + 739 + 1303 + 690 + 1303 * 4 + 739 + 1303 * 3},
        {"Wi", 2025 + 569},   {"\xB0" "C", 1024 + 1430},  // Latin-1
        {"\xC2\xB0" "C", 1024 + 1430},                    // UTF-8
        {"\xE4\xB8\xAD", 3554},                           // a CJK character
    };
    for (const auto& c : cases) EXPECT_NEAR(textWidth(c.text, 11), c.units * 11 / 2048, 1e-9) << c.text;
}

bool overlapsAny(const std::vector<PlacedLabel>& placed, std::size_t i, const std::vector<Box>& others) {
    for (const Box& b : others)
        if (placed[i].box.overlaps(b)) return true;
    for (std::size_t j = 0; j < placed.size(); ++j)
        if (j != i && placed[j].kind != PlacedLabel::none && placed[i].box.overlaps(placed[j].box)) return true;
    return false;
}

// A lone point takes its label at the right; a label that would cover a fixed text goes
// elsewhere; points at one place carry numbers; nothing overlaps.
TEST(LabelLayout, BesideWhereFreeElseNumbered) {
    const LabelStyle style{11, 4, {0, 0, 400, 400}};
    const std::vector<Box> ticks = {{210, 90, 240, 110}};  // right of the second point
    std::vector<LabelPoint> points = {
        {50, 100, 60, 7}, {200, 100, 60, 7},  // lone; the second has a tick on its right
        {300, 300, 60, 7}, {300, 300, 60, 7}, {300, 300, 60, 14}, {300, 300, 60, 14}, {300, 300, 60, 14},
    };
    const std::vector<PlacedLabel> placed = placeLabels(points, ticks, style);
    ASSERT_EQ(placed.size(), points.size());
    EXPECT_EQ(placed[0].kind, PlacedLabel::label);
    EXPECT_NEAR(placed[0].box.left, 56, 1e-9);
    EXPECT_FALSE(placed[0].leader);
    EXPECT_EQ(placed[1].kind, PlacedLabel::label);
    EXPECT_LT(placed[1].box.right, 200);  // to the left, away from the tick
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_NE(placed[i].kind, PlacedLabel::none) << i;
        EXPECT_FALSE(overlapsAny(placed, i, ticks)) << i;
        // Every label's box stays near its own point.
        const double dx = std::max({placed[i].box.left - points[i].x, points[i].x - placed[i].box.right, 0.0});
        const double dy = std::max({placed[i].box.top - points[i].y, points[i].y - placed[i].box.bottom, 0.0});
        EXPECT_LT(dx * dx + dy * dy, 90.0 * 90.0) << i;
    }
    // A cluster shows numbers only, with leaders where the places beside are taken.
    for (std::size_t i = 2; i < placed.size(); ++i) EXPECT_EQ(placed[i].kind, PlacedLabel::number) << i;
    EXPECT_TRUE(std::any_of(placed.begin(), placed.end(), [](const PlacedLabel& p) { return p.leader; }));
}

// No room anywhere: the point stays unlabelled rather than overlap.
TEST(LabelLayout, NoRoomNoLabel) {
    const LabelStyle style{11, 4, {0, 0, 40, 40}};
    const std::vector<LabelPoint> points = {{20, 20, 100, 7}};
    const std::vector<Box> walls = {{0, 0, 40, 14}, {0, 26, 40, 40}, {0, 0, 14, 40}, {26, 0, 40, 40}};
    EXPECT_EQ(placeLabels(points, walls, style)[0].kind, PlacedLabel::none);
}

TEST(LabelLayout, SpreadKeepsOrderAndGap) {
    const struct {
        std::vector<double> wanted;
        double low, high;
        std::vector<double> expected;
    } cases[] = {
        {{10, 50, 90}, 0, 100, {10, 50, 90}},          // room enough: where they want
        {{10, 12, 14}, 0, 100, {10, 23, 36}},          // pushed on
        {{80, 95, 99}, 0, 100, {74, 87, 100}},         // and back from the end
        {{0, 1}, 5, 100, {5, 18}},                     // not below low
        {{}, 0, 100, {}},
    };
    for (const auto& c : cases) {
        const std::vector<double> got = spread(c.wanted, 13, c.low, c.high);
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-9) << i;
    }
}

SampleRecord water(const char* number, float cl, float so4, float sio2, float temperature, float pressure,
                   float enthalpy) {
    SampleRecord r;
    readA(number, r.sampleNumber);
    r.waterConc[15] = cl;
    r.waterConc[16] = so4;
    r.waterConc[9] = sio2;
    r.samplingTemperature = temperature;
    r.samplingPressure = pressure;
    r.fluidEnthalpy = enthalpy;
    return r;
}

// The marks of a drawn picture, in order: (cx, cy).
std::vector<std::pair<double, double>> marks(const std::string& svg) {
    static const std::regex circle(R"re(<circle class="point" cx="([-0-9.]+)" cy="([-0-9.]+)")re");
    std::vector<std::pair<double, double>> found;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), circle); it != std::sregex_iterator(); ++it)
        found.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
    return found;
}

TEST(WaterDiagrams, EnthalpyOfTheTotalDischarge) {
    const float lost = std::numeric_limits<float>::max();  // a field of asterisks
    const struct {
        float temperature, pressure, enthalpy;
        std::optional<double> expected;
    } cases[] = {
        {240, 31.5f, 1480, 1480},                                             // given
        {97.2f, 0, 0, *if97::saturatedLiquidEnthalpy(97.2f + 273.15)},        // spring at 0 bar-g: h'(T)
        {100, 0, 0, 419.09915499770307},                                      // h'(100 °C), IF97
        {168, 6.5f, 0, std::nullopt},                                         // above 0 bar-g, none given
        {97, 0, lost, std::nullopt},                                          // given but lost
        {97, 0, -5, std::nullopt},
        {0, 0, 0, std::nullopt},                                              // no temperature either
    };
    for (const auto& c : cases) {
        const std::optional<double> h = dischargeEnthalpy(water("E", 0, 0, 0, c.temperature, c.pressure, c.enthalpy));
        ASSERT_EQ(h.has_value(), c.expected.has_value()) << c.temperature << " " << c.enthalpy;
        if (h) {
            EXPECT_NEAR(*h, *c.expected, 1e-6) << c.temperature;
        }
    }
}

// Every point of the curve: h' of its temperature, and a silica that the report's quartz
// geothermometer takes back to that temperature.
TEST(WaterDiagrams, QuartzSolubilityCurve) {
    const std::vector<CurvePoint> curve = quartzSolubility();
    ASSERT_EQ(curve.size(), 66u);
    EXPECT_EQ(curve.front().celsius, 25);
    EXPECT_EQ(curve.back().celsius, 350);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        SampleRecord r;
        r.waterConc[9] = static_cast<float>(curve[i].silica);
        EXPECT_NEAR(*geothermometers(r).quartz, curve[i].celsius, 0.01) << curve[i].celsius;
        EXPECT_EQ(curve[i].enthalpy, *if97::saturatedLiquidEnthalpy(curve[i].celsius + 273.15));
        if (i > 0) {
            EXPECT_GT(curve[i].silica, curve[i - 1].silica);
        }
    }
    EXPECT_NEAR(curve[15].silica, 48, 2);  // quartz dissolves to some 48 mg/kg at 100 °C
}

// Each sample where its values put it, and each that cannot be drawn named with the reason.
TEST(WaterDiagrams, PointsWhereTheirValuesPutThem) {
    const std::vector<ReportedFile> files = {{"f.out", 6}};
    ClSO4HCO3Triangle anions;
    const auto add = [&](long number, const SampleRecord& r, std::optional<double> hco3) {
        const Geothermometers g = geothermometers(r);
        anions.sample({0, number, r, g, hco3});
    };
    add(1, water("CL", 100, 0, 0, 0, 0, 0), 0.0);       // the Cl corner
    add(2, water("THIRDS", 50, 50, 0, 0, 0, 0), 50.0);  // the middle
    add(3, water("HCO3", 0, 0, 0, 0, 0, 0), 80.0);      // the HCO3 corner
    add(4, water("NONE", 0, 0, 0, 0, 0, 0), 0.0);       // all three 0
    add(5, water("UNKNOWN", 10, 10, 0, 0, 0, 0), std::nullopt);
    std::string svg;
    Markup m(svg);
    anions.draw(m, files);
    const std::vector<std::pair<double, double>> at = marks(svg);
    ASSERT_EQ(at.size(), 3u);
    EXPECT_NEAR(at[0].first, 100, 0.01);
    EXPECT_NEAR(at[0].second, 660, 0.01);
    EXPECT_NEAR(at[1].first, 400, 0.01);
    EXPECT_NEAR(at[1].second, (660 + 660 + 660 - 300 * std::sqrt(3.0)) / 3, 0.01);
    EXPECT_NEAR(at[2].first, 700, 0.01);
    EXPECT_EQ(anions.samples().leftOut(), "not drawn: 4 (NONE: Cl, SO4 and HCO3 all 0), 5 (UNKNOWN: no HCO3)");

    // On a plot 680 wide from x = 90 and 470 high up from y = 540: enthalpy-chloride across 0
    // to 700 mg/kg (the largest Cl 653) and up 0 to 1200 kJ/kg; silica-enthalpy across 0 to
    // 1750 kJ/kg (the quartz curve ends at 1670.9) and up 0 to 1000 mg/kg (it ends at 830).
    EnthalpyChlorideDiagram chloride;
    SilicaEnthalpyDiagram silica;
    const std::vector<SampleRecord> samples = {
        water("WELL", 1000, 0, 600, 98, 0, 1200),  // x at 1 bar: (1200 - 417.4) / (2674.9 - 417.4)
        water("SPRING", 500, 0, 300, 100, 0, 0),    // h'(100 °C), x = 0
        water("SEP", 800, 0, 500, 168, 6.5f, 0),    // no enthalpy above 0 bar-g
        water("NOCL", 0, 0, 0, 98, 0, 1200),
    };
    long number = 0;
    for (const SampleRecord& r : samples) {
        const Geothermometers g = geothermometers(r);
        chloride.sample({0, ++number, r, g, std::nullopt});
        silica.sample({0, number, r, g, std::nullopt});
    }
    std::string chlorideSvg, silicaSvg;
    Markup c(chlorideSvg), s(silicaSvg);
    chloride.draw(c, files);
    silica.draw(s, files);
    const double x = *geothermometers(samples[0]).steamFraction;
    const double h100 = *if97::saturatedLiquidEnthalpy(373.15);
    const std::vector<std::pair<double, double>> expectedChloride = {
        {90 + 1000 * (1 - x) / 700 * 680, 540 - 1200.0 / 1200 * 470}, {90 + 500.0 / 700 * 680, 540 - h100 / 1200 * 470}};
    const std::vector<std::pair<double, double>> expectedSilica = {
        {90 + 1200.0 / 1750 * 680, 540 - 600 * (1 - x) / 1000 * 470}, {90 + h100 / 1750 * 680, 540 - 300.0 / 1000 * 470}};
    for (const auto& [drawn, expected] : {std::pair(marks(chlorideSvg), expectedChloride), std::pair(marks(silicaSvg), expectedSilica)}) {
        ASSERT_EQ(drawn.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_NEAR(drawn[i].first, expected[i].first, 0.01) << i;
            EXPECT_NEAR(drawn[i].second, expected[i].second, 0.01) << i;
        }
    }
    EXPECT_EQ(chloride.samples().leftOut(), "not drawn: 3 (SEP: no enthalpy), 4 (NOCL: no Cl)");
    EXPECT_EQ(silica.samples().leftOut(), "not drawn: 3 (SEP: no enthalpy), 4 (NOCL: no SiO2)");
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Up to 500 samples every point is labelled or numbered, and the key of the file of its own
// lists the numbered ones; over 500 the points go bare and the caption and legend say so.
TEST(NaKMgTriangle, LabelsUpTo500Samples) {
    const std::vector<ReportedFile> files = {{"f.out", 501}};
    NaKMgTriangle triangle;
    for (long i = 1; i <= 500; ++i) {
        const std::string name = "S-" + std::to_string(i);
        // A spread of waters, each tenth one at a place of its own; the rest crowd together.
        const double na = i % 10 == 0 ? 100.0 * static_cast<double>(i) : 1000, mg = i % 10 == 0 ? 1 : 0.01 * static_cast<double>(i);
        SampleRecord r;
        readA(name.c_str(), r.sampleNumber);
        r.waterConc[10] = static_cast<float>(na);
        r.waterConc[11] = 100;
        r.waterConc[12] = static_cast<float>(mg);
        const Geothermometers g = geothermometers(r);
        triangle.sample({0, i, r, g, std::nullopt});
    }
    std::string svg;
    Markup m(svg);
    triangle.draw(m, files, true);
    EXPECT_EQ(count(svg, "<circle class=\"point\""), 500u);
    // Every sample is named by a label or a number (samples at one place share one), or
    // counted as without room.
    std::size_t named = 0;
    static const std::regex text(R"re(<text class="(label|number)" data-n="([0-9 ]+)")re");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator(); ++it)
        named += count((*it)[2].str() + " ", " ");
    static const std::regex unnamed(R"re(>([0-9]+) points without room for a label or a number)re");
    std::smatch without;
    ASSERT_TRUE(std::regex_search(svg, without, unnamed)) << "the cloud of 450 leaves some bare";
    EXPECT_EQ(named + std::stoul(without[1]), 500u);
    EXPECT_NE(svg.find("<g class=\"key\">"), std::string::npos);
    EXPECT_EQ(triangle.caption().find("without labels"), std::string::npos);

    SampleRecord last;
    readA("S-501", last.sampleNumber);
    last.waterConc[10] = 1000;
    last.waterConc[11] = 100;
    last.waterConc[12] = 1;
    const Geothermometers g = geothermometers(last);
    triangle.sample({0, 501, last, g, std::nullopt});
    std::string bare;
    Markup b(bare);
    triangle.draw(b, files, true);
    EXPECT_EQ(count(bare, "<circle class=\"point\""), 501u);
    EXPECT_EQ(count(bare, "class=\"label\""), 0u);
    EXPECT_EQ(count(bare, "class=\"number\""), 0u);
    EXPECT_NE(bare.find("Over 500 samples: the points are drawn without labels."), std::string::npos);
    EXPECT_NE(triangle.caption().find("over 500 samples the points are drawn without labels"), std::string::npos);
}

}  // namespace
}  // namespace zelk::workbench
