// The reader of the output file: round trips through the writer, and the faults it finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "record/outfil.hpp"
#include "record/reader.hpp"

namespace zelk {
namespace {

// Every value of a record, in one order, for comparing and filling records alike.
std::vector<float*> values(SampleRecord& r) {
    std::vector<float*> all;
    forEachNumberLine(r, [&](std::string_view, std::initializer_list<float*> fields) {
        all.insert(all.end(), fields.begin(), fields.end());
    });
    return all;
}

SampleRecord randomRecord(std::mt19937& random, float (*value)(std::mt19937&)) {
    SampleRecord r;
    // Any byte but the line feed can be typed into a text.
    std::uniform_int_distribution<int> byte(0, 254);
    auto text = [&](char& c) {
        const int b = byte(random);
        c = static_cast<char>(b < '\n' ? b : b + 1);
    };
    for (char& c : r.sampleNumber) text(c);
    for (char& c : r.sampleLocation) text(c);
    for (float* v : values(r)) *v = value(random);
    return r;
}

// A value whose F16.8 field determines it: eight decimals tell apart the floats from 0.125
// upwards, and the field holds seven integer digits, six with a sign.
float determinedValue(std::mt19937& random) {
    std::uniform_real_distribution<double> exponent(std::log(0.125), std::log(999999.0));
    std::bernoulli_distribution negative(0.3), whole(0.1), zero(0.05);
    if (zero(random)) return 0;
    float magnitude = static_cast<float>(std::exp(exponent(random)));
    if (whole(random)) magnitude = std::max(1.0f, std::round(magnitude));
    return negative(random) ? -magnitude : magnitude;
}

float anyValue(std::mt19937& random) { return std::bit_cast<float>(static_cast<std::uint32_t>(random())); }

std::string file(const std::vector<SampleRecord>& records) {
    TextBuffer out;
    for (const SampleRecord& r : records) formatBlock(out, r);
    return out.str();
}

// The one table of block fields stands in the order the writer lays the fields out, one entry
// a field: a field moved, added or dropped on either side fails here. Names are the table's
// columns; two alike would join a column to the wrong field.
TEST(BlockFieldTable, FollowsTheBlockLayout) {
    SampleRecord record;
    const std::vector<float*> written = values(record);
    ASSERT_EQ(written.size(), blockFieldTable.size());
    const std::array<float*, blockFieldCount> fields = blockFields(record);
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(&blockFieldTable[i].member(record), written[i]) << blockFieldTable[i].name;
        EXPECT_EQ(fields[i], written[i]) << blockFieldTable[i].name;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(blockFieldNames[i], blockFieldNames[j]);
    }
}

TEST(ReadBlocks, RoundTripIsBitForBit) {
    std::mt19937 random(20020401);
    std::vector<SampleRecord> written;
    for (int i = 0; i < 2000; ++i) written.push_back(randomRecord(random, determinedValue));
    ReadBlocks back = readBlocks(file(written));
    ASSERT_FALSE(back.fault) << back.fault->line << ":" << back.fault->column << " " << back.fault->message;
    ASSERT_EQ(back.records.size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(view(back.records[i].sampleNumber), view(written[i].sampleNumber));
        EXPECT_EQ(view(back.records[i].sampleLocation), view(written[i].sampleLocation));
        const std::vector<float*> got = values(back.records[i]), want = values(written[i]);
        for (std::size_t v = 0; v < want.size(); ++v)
            ASSERT_EQ(std::bit_cast<std::uint32_t>(*got[v]), std::bit_cast<std::uint32_t>(*want[v]))
                << "block " << i << " value " << v << ": " << *want[v];
    }
}

TEST(ReadBlocks, AnyBitPatternReadsBackToTheSameBlock) {
    // Tiny, huge, infinite and not-a-number values too: what is read back writes the same bytes.
    std::mt19937 random(1234);
    std::vector<SampleRecord> written;
    for (int i = 0; i < 2000; ++i) written.push_back(randomRecord(random, anyValue));
    const std::string bytes = file(written);
    const ReadBlocks back = readBlocks(bytes);
    ASSERT_FALSE(back.fault) << back.fault->line << ":" << back.fault->column << " " << back.fault->message;
    EXPECT_EQ(file(back.records), bytes);
}

TEST(ReadBlocks, SpecialFields) {
    SampleRecord r{};
    r.discharge = 12345678;
    r.waterPh = -std::numeric_limits<float>::infinity();
    r.waterPhTemperature = std::numeric_limits<float>::quiet_NaN();
    r.totalSolids = -0.0f;
    const ReadBlocks back = readBlocks(file({r}));
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.records[0].discharge, std::numeric_limits<float>::max());
    EXPECT_EQ(back.records[0].waterPh, -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(back.records[0].waterPhTemperature));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(back.records[0].totalSolids), 0u);  // written without sign
    EXPECT_TRUE(readBlocks("").records.empty());
    EXPECT_FALSE(readBlocks("").fault);
}

struct Fault {
    const char* what;
    std::size_t at;         // offset in the two-block file where the change starts
    std::size_t cut;        // bytes removed there
    const char* insert;     // bytes put in their place
    long line, column;
    bool cutShort = false;  // the file ends inside a block that is right so far
};

TEST(ReadBlocks, FindsTheFirstFault) {
    SampleRecord r{};
    r.samplingTemperature = 100;
    r.samplingPressure = -5;
    std::memset(r.sampleNumber.data(), ' ', r.sampleNumber.size());
    std::memset(r.sampleLocation.data(), ' ', r.sampleLocation.size());
    const std::string good = file({r, r});
    const std::size_t block = good.size() / 2;
    const std::size_t line7 = good.find("    100.00000000");
    const std::size_t pressure = line7 + 16;  // "     -5.00000000"
    const std::size_t line4 = good.find('\n', good.find("<       Sample")) + 1;
    const Fault faults[] = {
        {"title changed", 8, 1, "k", 1, 9},
        {"title cut short", 0, 73, "Program", 1, 8},
        {"title runs on", 73, 0, " ", 1, 74},
        {"second block's title", block + 1, 1, "X", 35, 2},
        {"blank line holds a blank", 74, 0, " ", 2, 1},
        {"label changed", good.find("Pressure"), 1, "p", 6, 18},
        {"degree sign as UTF-8", good.find("\xB0"), 1, "\xC2\xB0", 6, 14},
        {"sample line short", line4, 1, "", 4, 76},
        {"sample line long", line4, 0, "x", 4, 77},
        {"line feed missing at the end", good.size() - 1, 1, "", 68, 65, true},
        {"block cut after a line", block + 34 * 0 + good.find("\n<Temperature"), good.npos, "", 39, 1, true},
        {"extra line after the blocks", good.size(), 0, "\n", 69, 1},
        {"carriage return", line7 + 64, 0, "\r", 7, 65},
        {"seven decimals", line7 + 8, 1, " ", 7, 9},
        {"leading zero", pressure + 3, 3, "-05", 7, 21},
        {"minus zero", pressure, 16, "     -0.00000000", 7, 22},
        {"plus sign", pressure + 5, 1, "+", 7, 22},
        {"exponent", pressure, 16, "      5.0000e+00", 7, 29},
        {"no digits", pressure, 16, "               .", 7, 32},
        {"blank inside", pressure + 10, 1, " ", 7, 27},
        {"fifteen asterisks", pressure, 16, "*************** ", 7, 17},
        {"tab for a blank", pressure, 1, "\t", 7, 17},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.what);
        std::string bad = good;
        bad.replace(f.at, f.cut == good.npos ? good.npos : f.cut, f.insert);
        const ReadBlocks back = readBlocks(bad);
        ASSERT_TRUE(back.fault);
        EXPECT_EQ(back.fault->line, f.line) << back.fault->message;
        EXPECT_EQ(back.fault->column, f.column) << back.fault->message;
        EXPECT_EQ(back.fault->cutShort, f.cutShort) << back.fault->message;
        EXPECT_EQ(back.records.size(), static_cast<std::size_t>((f.line - 1) / blockLines));
    }
}

TEST(ReadBlocks, DigitsHalfwayBetweenTwoFloatsGoToTheEvenOne) {
    SampleRecord r{};
    std::memset(r.sampleNumber.data(), ' ', r.sampleNumber.size());
    std::memset(r.sampleLocation.data(), ' ', r.sampleLocation.size());
    std::string bytes = file({r});
    // From 65536 on, floats lie 2^-7 apart, and the halfway points have eight decimals.
    const std::size_t line7 = bytes.find("      0.00000000", bytes.find("<Discharge kg/s>"));
    bytes.replace(line7, 32, "  65536.00390625 -65536.01171875");
    const ReadBlocks back = readBlocks(bytes);
    ASSERT_FALSE(back.fault) << back.fault->message;
    EXPECT_EQ(back.records[0].samplingTemperature, 65536.0f);
    EXPECT_EQ(back.records[0].samplingPressure, -65536.015625f);
}

TEST(BlockReader, AFileCutAnywhereInsideABlockIsCutShort) {
    SampleRecord r{};
    r.samplingTemperature = 100;
    r.gasVolume[4] = -3.5f;
    std::memset(r.sampleNumber.data(), 'N', r.sampleNumber.size());
    std::memset(r.sampleLocation.data(), ' ', r.sampleLocation.size());
    const std::string good = file({r, r});
    const std::size_t block = good.size() / 2;
    for (std::size_t cut = block + 1; cut < good.size(); ++cut) {
        const ReadBlocks back = readBlocks(good.substr(0, cut));
        ASSERT_TRUE(back.fault) << cut;
        EXPECT_TRUE(back.fault->cutShort) << cut << ": " << back.fault->message;
        EXPECT_GE(back.fault->line, 35) << cut;
        ASSERT_EQ(back.records.size(), 1u) << cut;
    }
    // A wrong byte in the last, unfinished line is a fault of the layout, not a cut.
    std::string wrong = good.substr(0, block + 20);
    wrong.back() = 'x';
    EXPECT_FALSE(readBlocks(wrong).fault->cutShort);
    std::string badNumber = good.substr(0, good.rfind("    100.00000000") + 10);
    badNumber.back() = 'x';
    EXPECT_FALSE(readBlocks(badNumber).fault->cutShort);
}

TEST(BlockReader, NotesFieldsThatCarryNoValue) {
    SampleRecord r{};
    r.discharge = 12345678;                                      // line 7, fourth field
    r.waterConc[4] = std::numeric_limits<float>::infinity();     // line 13, second field
    r.condensateConc[4] = std::numeric_limits<float>::quiet_NaN();  // line 34, fourth field
    r.steamConc[1] = -std::numeric_limits<float>::infinity();    // line 31, first field
    const std::string bytes = file({SampleRecord{}, r});
    StringSource source(bytes);
    BlockReader reader(source);
    SampleRecord back;
    ASSERT_TRUE(reader.next(back));
    EXPECT_EQ(reader.blockLine(), 1);
    EXPECT_TRUE(reader.notes().empty());
    ASSERT_TRUE(reader.next(back));
    EXPECT_EQ(reader.blockLine(), 35);
    struct Want {
        FieldNote::Kind kind;
        long line, column;
        std::string_view field;
    };
    const Want want[] = {
        {FieldNote::asterisks, 41, 49, "discharge"},
        {FieldNote::infinite, 47, 17, "water_H2"},
        {FieldNote::infinite, 65, 1, "steam_CO2"},
        {FieldNote::notANumber, 68, 49, "condensate_Na"},
    };
    ASSERT_EQ(reader.notes().size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        const FieldNote& note = reader.notes()[i];
        EXPECT_EQ(note.kind, want[i].kind) << i;
        EXPECT_EQ(note.line, want[i].line) << i;
        EXPECT_EQ(note.column, want[i].column) << i;
        EXPECT_EQ(blockFieldNames[static_cast<std::size_t>(note.field)], want[i].field) << i;
    }
    EXPECT_FALSE(reader.next(back));
    EXPECT_FALSE(reader.fault());
}

TEST(BlockReader, ReadsTheSameWhateverTheChunksOfTheSource) {
    std::mt19937 random(77);
    std::vector<SampleRecord> written;
    for (int i = 0; i < 50; ++i) written.push_back(randomRecord(random, anyValue));
    const std::string bytes = file(written);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        StringSource source(bytes, chunk);
        BlockReader reader(source);
        std::vector<SampleRecord> back;
        SampleRecord record;
        while (reader.next(record)) back.push_back(record);
        ASSERT_FALSE(reader.fault()) << chunk;
        EXPECT_EQ(file(back), bytes) << chunk;
    }
}

TEST(BlockReader, AnEndlessLineIsAFaultAtItsTrueColumn) {
    // A line of a million bytes where the sample line should be: reported with its length,
    // and the reader keeps no more of it than of any line.
    const std::string bytes = std::string(blockTitle) + "\n\n" + std::string(sampleLabels) + "\n" +
                              std::string(1'000'000, 'x') + "\n";
    const ReadBlocks back = readBlocks(bytes);
    ASSERT_TRUE(back.fault);
    EXPECT_EQ(back.fault->line, 4);
    EXPECT_EQ(back.fault->column, 77);
    EXPECT_NE(back.fault->message.find("not 1000000"), std::string::npos) << back.fault->message;
    EXPECT_FALSE(back.fault->cutShort);
}

}  // namespace
}  // namespace zelk
