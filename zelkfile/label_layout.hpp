// Where the labels of a picture go: beside their points where they collide with nothing
// already placed, else a number keyed to the table; and a row of labels spread apart.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zelk::workbench {

struct Box {
    double left, top, right, bottom;
    bool overlaps(const Box& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    Box grown(double by) const { return {left - by, top - by, right + by, bottom + by}; }
};

// The box of a text of this width at (x, baseline y), set at size px; anchor as SVG's
// text-anchor: -1 start, 0 middle, 1 end.
Box textBox(double x, double y, double width, double size, int anchor = -1);

struct LabelPoint {
    double x, y;
    double labelWidth;   // of its label at the label size; 0: it has none
    double numberWidth;  // of its number
    double reach = 0;    // of marks around it that share its label, beyond its own
};

struct PlacedLabel {
    enum Kind { label, number, none } kind = none;
    double x = 0, y = 0;  // the text's start at its baseline
    bool leader = false;  // drawn away from its point: a line joins them
    Box box{};
};

struct LabelStyle {
    double size = 11;        // px
    double pointRadius = 4;  // of every mark
    Box within{};            // the picture: no label leaves it
};

// For each point in order: its label beside it, where the label overlaps no label placed
// before, no fixed text (the obstacles: ticks, titles, the legend), no point of another
// sample, and stays within the picture. A point with another close by carries its number
// instead (and those are placed first); so does one whose label finds no place. A number
// without room beside its point goes a little farther off with a leader line; a point left
// with neither stays unlabelled (kind none).
std::vector<PlacedLabel> placeLabels(std::span<const LabelPoint> points, std::span<const Box> obstacles,
                                     const LabelStyle& style);

// The places around a point, as freePlace takes them in order.
enum Place { right, left, aboveRight, belowRight, aboveLeft, belowLeft, above, below };

// The first place, in the order given, for a box w by h at distance d from (x, y) that meets
// none of avoid and stays within; empty when there is none.
std::optional<Box> freePlace(double x, double y, double w, double h, double d, std::span<const Place> order,
                             std::span<const Box> avoid, const Box& within);

// Positions along a line for labels that want to sit at wanted (ascending): as close to
// where they want as keeps each gap apart from the next, all between low and high as far as
// there is room.
std::vector<double> spread(std::span<const double> wanted, double gap, double low, double high);

}  // namespace zelk::workbench
