// The block layout of the output file and the writer of a block.
#include "record/outfil.hpp"

namespace zelk {

namespace {

void line(TextBuffer& out, std::string_view text) {
    out.append(text);
    out.push_back('\n');
}

}  // namespace

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
