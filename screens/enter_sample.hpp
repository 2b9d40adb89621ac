// One sample's road through the dialogue, run by zelk for each sample and by zelkfile's
// import for each row.
#pragma once

#include "base/text_buffer.hpp"
#include "dialogue/console.hpp"
#include "record/outfil.hpp"
#include "record/sample.hpp"

namespace zelk {

// One sample's road through the dialogue: sundry data, the water unit and its screen, the
// steam form and its screens (or none), then its block to the file. The record is not
// cleared first; block is scratch reused from sample to sample.
void enterSample(Console& console, SampleRecord& record, BlockFile& file, TextBuffer& block);

}  // namespace zelk
