// The pictures' parts apart: the element writer's escaping, the font's widths, the layout of
// labels and the spreading of a row of labels.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zelkfile/label_layout.hpp"
#include "zelkfile/markup.hpp"

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
              "<text>\xE2\x88\x9AMg</text>\n<text>a?b?</text>\n</g>\n");
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

}  // namespace
}  // namespace zelk::workbench
