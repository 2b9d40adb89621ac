// The block layout of the output file and the writer of a block.
#include "record/outfil.hpp"

#include <bit>
#include <cstdint>
#include <limits>

namespace zelk {

namespace {

void line(TextBuffer& out, std::string_view text) {
    out.append(text);
    out.push_back('\n');
}

// The float of largest magnitude, of the sign given, that the field writes as digits: the
// rendering is monotonic in the magnitude, so a search over the bit patterns finds it.
float widestFitting(bool negative) {
    const auto fits = [negative](std::uint32_t bits) {
        const float magnitude = std::bit_cast<float>(bits);
        return renderF(negative ? -magnitude : magnitude, numberWidth, numberDecimals).front() != '*';
    };
    std::uint32_t low = 0, high = std::bit_cast<std::uint32_t>(std::numeric_limits<float>::max());
    while (low < high) {
        const std::uint32_t middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    const float magnitude = std::bit_cast<float>(low);
    return negative ? -magnitude : magnitude;
}

}  // namespace

const NumberFieldRange& numberFieldRange() {
    static const NumberFieldRange range{widestFitting(true), widestFitting(false)};
    return range;
}

void formatBlock(TextBuffer& out, const SampleRecord& r) {
    line(out, blockTitle);
    out.push_back('\n');
    line(out, sampleLabels);
    renderA(out, view(r.sampleNumber));
    renderA(out, view(r.sampleLocation));
    out.push_back('\n');
    forEachNumberLine(r, [&](std::string_view labels, std::initializer_list<const float*> fields) {
        out.push_back('\n');
        line(out, labels);
        for (const float* value : fields) renderF(out, *value, numberWidth, numberDecimals);
        out.push_back('\n');
    });
}

void outfil(BlockFile& file, const SampleRecord& record, TextBuffer& scratch) {
    scratch.clear();
    formatBlock(scratch, record);
    file.append(scratch.view());
}

}  // namespace zelk
