// zelkfile export: import of the export gives back the file byte for byte, for generated runs
// of the dialogue in every form; and every block that no answers can give is an error.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "bench/answers.hpp"
#include "record/outfil.hpp"
#include "record/reader.hpp"
#include "support/harness.hpp"
#include "support/workbench.hpp"
#include "zelkfile/columns.hpp"

namespace zelk::test {
namespace {

// Whether every value of the file survived in it: a field of asterisks cannot come back.
bool noValueLost(const std::string& file) {
    StringSource source(file);
    BlockReader reader(source);
    SampleRecord record;
    while (reader.next(record))
        for (const FieldNote& note : reader.notes())
            if (note.kind != FieldNote::infinite) return false;
    return !reader.fault();
}

// Exports the file, imports the table, and gives what the import wrote.
std::string roundTrip(const std::string& file, std::string* table = nullptr) {
    TempDir dir;
    writeFile(dir.file("kavix.in"), file);
    const VerbRun exported = runVerb(workbench::exportFile, {dir.file("kavix.in")});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    writeFile(dir.file("lab.csv"), exported.out);
    if (table) *table = exported.out;
    const VerbRun imported = runVerb(workbench::importTable, {dir.file("lab.csv"), "-o", dir.file("back.in")});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(importErrors(imported.err), "");
    return readFile(dir.file("back.in"));
}

// Each block field has the one column that holds it as typed, named as the field, but the
// gases dissolved in the water, which no answer sets: export and import join them by it.
TEST(Export, EveryBlockFieldButTheDissolvedGasesHasItsColumn) {
    using workbench::columnOf;
    using workbench::columns;
    for (const BlockField& field : blockFieldTable) {
        SCOPED_TRACE(field.name);
        const bool dissolvedGas = field.id == Field::waterH2 || field.id == Field::waterO2 ||
                                  field.id == Field::waterCH4 || field.id == Field::waterN2;
        const std::optional<int> column = columnOf(field.id);
        ASSERT_EQ(column.has_value(), !dissolvedGas);
        if (column) {
            EXPECT_EQ(columns[static_cast<std::size_t>(*column)].name, field.name);
        }
    }
    int joined = 0;
    for (const workbench::Column& column : columns) joined += column.field >= 0;
    EXPECT_EQ(joined, blockFieldCount - 4);
}

TEST(Export, ImportOfTheExportGivesBackGeneratedRuns) {
    int runs = 0;
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        bench::AnswerWriter writer({}, seed);
        std::string answers;
        bench::AnswerWriter::start(answers);
        for (int k = 0; k < 40; ++k) writer.sample(answers, k);
        bench::AnswerWriter::stop(answers);
        const std::string file = dialogueFile(answers);
        ASSERT_EQ(file.size() % 1635, 0u);
        if (!noValueLost(file)) continue;
        ++runs;
        ASSERT_EQ(roundTrip(file), file);
    }
    EXPECT_GE(runs, 25);
}

TEST(Export, ImportOfTheExportGivesBackHostileValues) {
    // Negative, infinite and tiny values, exponents, texts with quotes, commas and blanks.
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        const std::string file = dialogueFile(typedAnswers(everyUnitAndForm(seed)));
        if (!noValueLost(file)) continue;
        ASSERT_EQ(roundTrip(file), file);
    }
}

TEST(Export, WritesTheFormsThatKeepWhatWasTyped) {
    SampleRecord none{}, residual{}, dry{}, infinite{};
    std::fill(none.sampleNumber.begin(), none.sampleNumber.end(), ' ');
    std::fill(none.sampleLocation.begin(), none.sampleLocation.end(), ' ');
    residual = dry = infinite = none;
    std::copy_n("  S, \"2\"", 8, residual.sampleNumber.begin());
    residual.gasVolume[4] = 7.3f;
    residual.steamConc[1] = 1000;
    residual.gasTemperature = 25;
    dry.condensateConc[4] = 0.5f;
    dry.gasVolume[1] = 80;
    // Carriage returns that a typed line can leave in a text: inside it, and at its end.
    std::copy_n("a\rb", 3, none.sampleNumber.begin());
    std::copy_n("x\r", 2, dry.sampleLocation.begin());
    infinite.gasPerCondensate = -std::numeric_limits<float>::infinity();  // form 8
    infinite.discharge = std::numeric_limits<float>::infinity();
    TextBuffer file;
    for (const SampleRecord& r : {none, residual, dry, infinite}) formatBlock(file, r);
    std::string table;
    EXPECT_EQ(roundTrip(file.str(), &table), file.str());
    const std::string header = workbench::headerRow(',');
    const std::string water = std::string(17, ',') + "0";
    EXPECT_EQ(table,
              header +
              "\"a\rb\",,0,0,0,0,1,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0," + std::string(23, ',') + "\n" +
              "\"  S, \"\"2\"\"\",,0,0,0,0,1,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,8,1000,0,0,,,,,,,,,7.3,0,0,0,0,25,,,,,,\n" +
              ",\"x\r\",0,0,0,0,1,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,6,,,,,,,,,80,0,0,0,0,0,0,0,0,0,0,0,0,0,0.5\n" +
              ",,0,0,0,1e39,1,,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,8,0,0,0,,,,,,,,,0,0,0,0,-1e39,0,,,,,,\n");
}

TEST(Export, ReportsEveryBlockThatNoAnswersGiveAndPrintsNothing) {
    SampleRecord good{};
    std::fill(good.sampleNumber.begin(), good.sampleNumber.end(), ' ');
    std::fill(good.sampleLocation.begin(), good.sampleLocation.end(), ' ');
    SampleRecord lost = good, nan = good, dissolved = good, both = good;
    lost.discharge = 12345678;
    nan.condensatePh = std::numeric_limits<float>::quiet_NaN();
    dissolved.waterConc[6] = 2;
    both.steamConc[2] = 1;
    both.condensateConc[1] = 3;
    TextBuffer blocks;
    for (const SampleRecord& r : {good, lost, nan, dissolved, both, good}) formatBlock(blocks, r);
    const std::string file = blocks.str().substr(0, blocks.size() - 100);  // the last block cut short

    TempDir dir;
    const std::string name = dir.file("kavix.in");
    writeFile(name, file);
    const VerbRun run = runVerb(workbench::exportFile, {name});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, name + ":41:49: discharge is written as asterisks: its value was too large and is lost\n" +
                           name + ":99:49: condensate_pH is not a number (nan), which the geochemistry program cannot read\n" +
                           name + ":115:49: water_CH4 is set: no answer sets a dissolved gas other than CO2, H2S and NH3 "
                                  "in the water phase\n" +
                           name + ":170:1: condensate_CO2 is set beside steam_H2S (line 167): no steam form gives both "
                                  "dry gas or condensate and steam in total steam\n" +
                           name + ":203:31: the last block is cut short (the file ends inside a line): the run that "
                                  "wrote it was stopped\n" +
                           "zelkfile: \"" + name + "\" not exported: it has errors\n");

    writeFile(name, "Program KAVIX input\n");
    const VerbRun layout = runVerb(workbench::exportFile, {name});
    EXPECT_EQ(layout.status, 2);
    EXPECT_EQ(layout.err, name + ":1:20: the title line expected: the line ends early\n"
                                 "zelkfile: \"" + name + "\" not exported: it has errors\n");
    const VerbRun missing = runVerb(workbench::exportFile, {dir.file("none")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "zelkfile: cannot open \"" + dir.file("none") + "\": No such file or directory\n");
}

}  // namespace
}  // namespace zelk::test
