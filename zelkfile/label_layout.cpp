// Labels laid out greedily, in the order of their points: each takes the first of a few places
// around its point where it collides with nothing placed before.
#include "zelkfile/label_layout.hpp"

#include <algorithm>
#include <cmath>

#include "zelkfile/markup.hpp"

namespace zelk::workbench {

namespace {

// Around a point, nearest first: right, left, above-right, below-right, above-left,
// below-left, above, below. Each gives the box's top-left for a label w by h at distance d.
struct Around {
    double px, py, w, h, d;
    Box at(int place) const {
        const double s = d * 0.7;  // on the diagonals
        switch (place) {
            case 0: return box(px + d, py - h / 2);
            case 1: return box(px - d - w, py - h / 2);
            case 2: return box(px + s, py - s - h);
            case 3: return box(px + s, py + s);
            case 4: return box(px - s - w, py - s - h);
            case 5: return box(px - s - w, py + s);
            case 6: return box(px - w / 2, py - d - h);
            default: return box(px - w / 2, py + d);
        }
    }
    Box box(double left, double top) const { return {left, top, left + w, top + h}; }
};
constexpr int places = 8;

// Whether the segment from (x0, y0) to (x1, y1) passes through the box (Liang and Barsky's
// clipping: the part of the segment's parameter range inside all four edges is not empty).
bool crosses(double x0, double y0, double x1, double y1, const Box& box) {
    double low = 0, high = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0 - box.left, box.right - x0, y0 - box.top, box.bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            low = std::max(low, t);
        else
            high = std::min(high, t);
        if (low > high) return false;
    }
    return true;
}

}  // namespace

std::optional<Box> freePlace(double x, double y, double w, double h, double d, std::span<const Place> order,
                             std::span<const Box> avoid, const Box& within) {
    const Around around{x, y, w, h, d};
    for (const Place place : order) {
        const Box box = around.at(place);
        if (box.left < within.left || box.top < within.top || box.right > within.right || box.bottom > within.bottom)
            continue;
        bool free = true;
        for (const Box& other : avoid) free = free && !box.overlaps(other);
        if (free) return box;
    }
    return std::nullopt;
}

Box textBox(double x, double y, double width, double size, int anchor) {
    const double left = anchor < 0 ? x : anchor == 0 ? x - width / 2 : x - width;
    return {left, y - fontAscent * size, left + width, y + fontDescent * size};
}

std::vector<PlacedLabel> placeLabels(std::span<const LabelPoint> points, std::span<const Box> obstacles,
                                     const LabelStyle& style) {
    const double height = (fontAscent + fontDescent) * style.size;
    const double r = style.pointRadius;
    std::vector<Box> marks;
    marks.reserve(points.size());
    for (const LabelPoint& p : points) marks.push_back(Box{p.x - r, p.y - r, p.x + r, p.y + r}.grown(1 + p.reach));
    std::vector<Box> taken(obstacles.begin(), obstacles.end());
    std::vector<PlacedLabel> placed(points.size());

    // A box is free where it stays in the picture and meets no text placed and no mark but
    // the point's own (a point of the same place as another counts as another's).
    const auto free = [&](const Box& box, std::size_t own) {
        const Box& within = style.within;
        if (box.left < within.left || box.top < within.top || box.right > within.right || box.bottom > within.bottom)
            return false;
        for (const Box& t : taken)
            if (box.overlaps(t)) return false;
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (i != own && box.overlaps(marks[i])) return false;
        return true;
    };
    const auto take = [&](std::size_t i, PlacedLabel::Kind kind, const Box& box, bool leader) {
        if (!free(box, i)) return false;
        if (leader) {
            // The leader runs to the box's nearest point and crosses no other text or mark.
            const double x = std::clamp(points[i].x, box.left, box.right);
            const double y = std::clamp(points[i].y, box.top, box.bottom);
            for (const Box& t : taken)
                if (crosses(points[i].x, points[i].y, x, y, t)) return false;
            // Marks that touch the point's own it leaves through anyway.
            for (std::size_t m = 0; m < marks.size(); ++m)
                if (m != i && !marks[m].overlaps(marks[i]) && crosses(points[i].x, points[i].y, x, y, marks[m]))
                    return false;
        }
        placed[i] = {kind, box.left + 0.5, box.top + fontAscent * style.size, leader, box};
        taken.push_back(box);
        return true;
    };
    const auto beside = [&](std::size_t i, PlacedLabel::Kind kind, double width) {
        const Around around{points[i].x, points[i].y, width + 1, height, r + points[i].reach + 2};
        for (int p = 0; p < places; ++p)
            if (take(i, kind, around.at(p), false)) return true;
        return false;
    };
    // Farther off: rings of 24 directions, the box's centre beyond the given distance.
    const auto off = [&](std::size_t i, double width, double distance) {
        const double w = width + 1;
        for (int k = 0; k < 24; ++k) {
            const double angle = k * 3.14159265358979323846 / 12;
            const double d = distance + points[i].reach;
            const double cx = points[i].x + (d + w / 2) * std::cos(angle);
            const double cy = points[i].y - (d + height / 2) * std::sin(angle);
            if (take(i, PlacedLabel::number, {cx - w / 2, cy - height / 2, cx + w / 2, cy + height / 2}, true))
                return true;
        }
        return false;
    };

    // A point with another close by (its label would crowd out theirs) carries its number;
    // those go first, so that a cluster has room for all of its numbers.
    const double crowd = 2 * height;
    std::vector<bool> crowded(points.size(), false);
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j)
            if (marks[i].grown(crowd / 2).overlaps(marks[j].grown(crowd / 2))) crowded[i] = crowded[j] = true;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (crowded[i] && points[i].numberWidth > 0) beside(i, PlacedLabel::number, points[i].numberWidth);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!crowded[i] && points[i].labelWidth > 0) beside(i, PlacedLabel::label, points[i].labelWidth);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (placed[i].kind == PlacedLabel::none && points[i].numberWidth > 0)
            beside(i, PlacedLabel::number, points[i].numberWidth);
    for (double distance = r + 8; distance <= r + 80; distance += 8)
        for (std::size_t i = 0; i < points.size(); ++i)
            if (placed[i].kind == PlacedLabel::none && points[i].numberWidth > 0) off(i, points[i].numberWidth, distance);
    return placed;
}

std::vector<double> spread(std::span<const double> wanted, double gap, double low, double high) {
    std::vector<double> at(wanted.begin(), wanted.end());
    if (at.empty()) return at;
    at.front() = std::max(at.front(), low);
    for (std::size_t i = 1; i < at.size(); ++i) at[i] = std::max(at[i], at[i - 1] + gap);
    at.back() = std::min(at.back(), high);
    for (std::size_t i = at.size() - 1; i-- > 0;) at[i] = std::min(at[i], at[i + 1] - gap);
    return at;
}

}  // namespace zelk::workbench
