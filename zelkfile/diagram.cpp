// The samples of a picture: kept as floats, drawn as marks in their file's colour, labelled
// where the layout finds room and numbered where it does not.
#include "zelkfile/diagram.hpp"

#include <algorithm>
#include <cmath>

#include "base/characters.hpp"
#include "zelkfile/charge_balance.hpp"
#include "zelkfile/text.hpp"

namespace zelk::workbench {

namespace {

// Told apart by readers with the common kinds of colour blindness.
constexpr std::string_view palette[] = {"#d55e00", "#0072b2", "#009e73", "#cc79a7",
                                        "#e69f00", "#56b4e9", "#000000", "#999933"};


// The point of a box nearest to (x, y), where a leader line ends.
std::pair<double, double> nearestOn(const Box& box, double x, double y) {
    return {std::clamp(x, box.left, box.right), std::clamp(y, box.top, box.bottom)};
}

}  // namespace

std::string_view fileColour(std::size_t file) { return palette[file % std::size(palette)]; }

void PlottedSamples::add(std::size_t file, long number, std::string_view sampleNumber, double x, double y) {
    largestX_ = std::max(largestX_, x);
    largestY_ = std::max(largestY_, y);
    ++count_;
    if (streamed_) return;
    points_.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<std::uint32_t>(number),
                       static_cast<std::uint16_t>(file)});
    if (points_.size() <= labelledSamplesAtMost)
        labels_.push_back(asUtf8(withoutTrailingBlanks(sampleNumber)));
    else if (!labels_.empty())
        labels_ = {};
}

void PlottedSamples::leaveOut(long number, std::string_view sampleNumber, std::string_view why) {
    if (++leftOutCount_ <= static_cast<long>(namedLeftOutAtMost))
        leftOut_.push_back(concat({std::to_string(number), " (", asUtf8(withoutTrailingBlanks(sampleNumber)), ": ", why, ")"}));
}

std::vector<Box> PlottedSamples::marks(const ToPage& toPage) const {
    std::vector<Box> boxes;
    boxes.reserve(points_.size());
    for (const Point& p : points_) {
        const auto [x, y] = toPage ? toPage(p.x, p.y) : std::pair<double, double>(p.x, p.y);
        boxes.push_back(Box{x - markRadius, y - markRadius, x + markRadius, y + markRadius}.grown(1));
    }
    return boxes;
}

void PlottedSamples::mark(Markup& svg, const Point& p, std::string_view label) const {
    const std::string number = std::to_string(p.number);
    svg.open("g", {{"class", "sample"}, {"data-n", number}});
    svg.element("title", {}, label.empty() ? number : concat({number, ": ", label}));
    svg.empty("circle", {{"class", "point"},
                         {"cx", coordinate(p.x)},
                         {"cy", coordinate(p.y)},
                         {"r", "4"},
                         {"fill", std::string(fileColour(p.file))},
                         {"fill-opacity", labelled() ? "0.85" : "0.6"},
                         {"stroke", "black"},
                         {"stroke-width", "0.5"}});
    svg.close();
}

std::optional<double> PictureSample::bicarbonate() const { return hco3Known ? hco3 : chargeBalance(record).hco3; }

bool PlottedSamples::drawAgain(Markup& svg, const Replay& replay, const Place& place) const {
    svg.open("g", {{"class", "samples"}});
    const bool read = replay([&](const PictureSample& sample) {
        if (const auto at = place(sample))
            mark(svg, {static_cast<float>(at->first), static_cast<float>(at->second),
                       static_cast<std::uint32_t>(sample.number), static_cast<std::uint16_t>(sample.file)}, "");
    });
    svg.close();
    return read;
}

std::string PlottedSamples::leftOut() const {
    if (leftOutCount_ == 0) return "";
    std::string text = "not drawn: ";
    for (std::size_t i = 0; i < leftOut_.size(); ++i) {
        if (i > 0) text += ", ";
        text += leftOut_[i];
    }
    if (leftOutCount_ > static_cast<long>(leftOut_.size()))
        text += concat({" and ", std::to_string(leftOutCount_ - static_cast<long>(leftOut_.size())), " more"});
    return text;
}

std::vector<std::pair<long, std::string>> PlottedSamples::draw(Markup& svg, std::span<const Box> obstacles,
                                                                Box within, double noteY, const ToPage& toPage) const {
    constexpr double radius = markRadius;
    // In page coordinates from here on.
    std::vector<Point> onPage = points_;
    if (toPage)
        for (Point& p : onPage) {
            const auto [x, y] = toPage(p.x, p.y);
            p.x = static_cast<float>(x);
            p.y = static_cast<float>(y);
        }
    svg.open("g", {{"class", "samples"}});
    for (const Point& p : onPage) mark(svg, p, labelled() ? std::string_view(labels_[&p - onPage.data()]) : "");
    svg.close();

    std::vector<std::pair<long, std::string>> numbered;
    if (!labelled()) return numbered;
    // Samples at one place or whose marks mostly cover each other (replicates, or one water
    // under several names) share one label: their sample numbers, or their numbers, joined.
    struct Group {
        float x, y;
        std::string label, numbers;
        std::vector<std::size_t> members;
        double reach = 0;
    };
    std::vector<Group> groups;
    for (std::size_t i = 0; i < onPage.size(); ++i) {
        const auto near = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            return std::hypot(g.x - onPage[i].x, g.y - onPage[i].y) <= markRadius;
        });
        Group& group = near != groups.end() ? *near : groups.emplace_back(Group{onPage[i].x, onPage[i].y, "", "", {}});
        group.reach = std::max(group.reach, std::hypot(double(group.x) - onPage[i].x, double(group.y) - onPage[i].y));
        const std::string number = std::to_string(onPage[i].number);
        group.label += group.members.empty() ? labels_[i] : concat({", ", labels_[i]});
        group.numbers += group.members.empty() ? number : concat({", ", number});
        group.members.push_back(i);
    }
    // A group of many (replicates by the dozen) names its first and counts the rest.
    constexpr std::size_t namedInGroup = 3;
    for (Group& group : groups) {
        const std::size_t n = group.members.size();
        if (n <= namedInGroup) continue;
        const auto number = [&](std::size_t i) { return std::to_string(onPage[group.members[i]].number); };
        group.label = concat({labels_[group.members[0]], " and ", std::to_string(n - 1), " more"});
        group.numbers = concat({number(0), ", ", number(1), " \u2026 ", number(n - 1), " (", std::to_string(n), ")"});
    }
    std::vector<LabelPoint> wanted;
    wanted.reserve(groups.size());
    for (const Group& group : groups)
        wanted.push_back(
            {group.x, group.y, textWidth(group.label, labelSize), textWidth(group.numbers, labelSize), group.reach});
    const std::vector<PlacedLabel> placed = placeLabels(wanted, obstacles, {labelSize, radius, within});
    svg.open("g", {{"class", "labels"}});
    std::size_t bare = 0;
    for (std::size_t g = 0; g < placed.size(); ++g) {
        const PlacedLabel& label = placed[g];
        const Group& group = groups[g];
        if (label.kind == PlacedLabel::none) {
            bare += group.members.size();
            continue;
        }
        const bool isNumber = label.kind == PlacedLabel::number;
        if (label.leader) {
            const auto [x, y] = nearestOn(label.box, group.x, group.y);
            svg.empty("line", {{"class", "leader"},
                               {"x1", coordinate(group.x)},
                               {"y1", coordinate(group.y)},
                               {"x2", coordinate(x)},
                               {"y2", coordinate(y)},
                               {"stroke", "#555555"},
                               {"stroke-width", "0.6"}});
        }
        std::string members;
        for (const std::size_t i : group.members) {
            if (!members.empty()) members += ' ';
            members += std::to_string(onPage[i].number);
            if (isNumber) numbered.emplace_back(onPage[i].number, labels_[i]);
        }
        svg.element("text",
                    {{"class", isNumber ? "number" : "label"},
                     {"data-n", members},
                     {"x", coordinate(label.x)},
                     {"y", coordinate(label.y)},
                     {"fill", isNumber ? "#333333" : "black"}},
                    isNumber ? group.numbers : group.label);
    }
    svg.close();
    if (bare > 0) {
        std::vector<Box> none;
        fixedText(svg, none, 40, noteY,
                  concat({std::to_string(bare), bare == 1 ? " point" : " points",
                          " without room for a label or a number: the table numbers them, and so does each "
                          "point's tooltip."}));
    }
    return numbered;
}

void fixedText(Markup& svg, std::vector<Box>& obstacles, double x, double y, std::string_view text, double size,
               int anchor, std::string_view fill, std::string_view cssClass) {
    const double width = textWidth(text, size);
    obstacles.push_back(textBox(x, y, width, size, anchor));
    svg.element("text",
                {{"class", std::string(cssClass)},
                 {"x", coordinate(x)},
                 {"y", coordinate(y)},
                 {"font-size", fixed(size, 0)},
                 {"text-anchor", anchor < 0 ? "start" : anchor == 0 ? "middle" : "end"},
                 {"fill", std::string(fill)}},
                text);
}

std::vector<Box> fileLegend(Markup& svg, std::span<const ReportedFile> files, double x, double y) {
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < files.size(); ++i, y += legendLine) {
        svg.empty("circle", {{"cx", coordinate(x + 15)},
                             {"cy", coordinate(y - 4)},
                             {"r", "4"},
                             {"fill", std::string(fileColour(i))},
                             {"stroke", "black"},
                             {"stroke-width", "0.5"}});
        const std::string count = std::to_string(files[i].samples);
        fixedText(svg, boxes, x + 36, y,
                  concat({asUtf8(files[i].name), ": ", count, files[i].samples == 1 ? " sample" : " samples"}));
    }
    return boxes;
}

}  // namespace zelk::workbench

namespace zelk::workbench {

void openPicture(Markup& svg, std::string_view cssClass, double w, double h, std::string_view title) {
    svg.open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                     {"class", concat({"diagram ", cssClass})},
                     {"width", fixed(w, 0)},
                     {"height", fixed(h, 0)},
                     {"viewBox", concat({"0 0 ", fixed(w, 0), " ", fixed(h, 0)})},
                     {"font-family", std::string(fontFamily)},
                     {"font-size", fixed(labelSize, 0)},
                     {"style", "font-kerning: none"},
                     {"role", "img"}});
    svg.element("title", {}, title);
    svg.empty("rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "white"}});
}

double legendOfFiles(Markup& svg, std::vector<Box>& obstacles, std::span<const ReportedFile> files, double y,
                     bool unlabelled) {
    const std::vector<Box> boxes = fileLegend(svg, files, 25, y);
    obstacles.insert(obstacles.end(), boxes.begin(), boxes.end());
    y += legendLine * static_cast<double>(files.size());
    if (unlabelled)
        fixedText(svg, obstacles, 40, y,
                  concat({"Over ", std::to_string(labelledSamplesAtMost), " samples: the points are drawn without labels."}));
    else
        obstacles.push_back({0, y - fontAscent * labelSize, pictureWidth, y + fontDescent * labelSize});
    return y;
}

}  // namespace zelk::workbench
