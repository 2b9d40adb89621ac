// zelkfile check: a line for every sample and every problem, a count, and the status.
#include <gtest/gtest.h>

#include <limits>

#include "record/outfil.hpp"
#include "support/harness.hpp"
#include "support/workbench.hpp"

namespace zelk::test {
namespace {

TEST(Check, ReportsSamplesProblemsAndACount) {
    SampleRecord r{};
    std::fill(r.sampleNumber.begin(), r.sampleNumber.end(), ' ');
    std::fill(r.sampleLocation.begin(), r.sampleLocation.end(), ' ');
    std::copy_n("HS-3/2002-014", 13, r.sampleNumber.begin());
    SampleRecord bad = r;
    bad.discharge = -1234567;
    bad.waterPh = std::numeric_limits<float>::infinity();
    bad.condensateConc[4] = std::numeric_limits<float>::quiet_NaN();
    TextBuffer good, problems;
    formatBlock(good, r);
    formatBlock(good, r);
    formatBlock(problems, bad);
    formatBlock(problems, r);
    TempDir dir;
    const std::string a = dir.file("a.in"), b = dir.file("b.in"), empty = dir.file("empty.in");
    writeFile(a, good.str());
    writeFile(b, problems.str().substr(0, problems.size() - 1));
    writeFile(empty, "");

    VerbRun run = runVerb(workbench::checkFiles, {a, empty});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, a + ":1: sample 1 \"HS-3/2002-014\"\n" + a + ":35: sample 2 \"HS-3/2002-014\"\n" +
                           "2 samples, 0 problems\n");

    run = runVerb(workbench::checkFiles, {a, b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, a + ":1: sample 1 \"HS-3/2002-014\"\n" + a + ":35: sample 2 \"HS-3/2002-014\"\n" + b +
                           ":1: sample 1 \"HS-3/2002-014\"\n" + b +
                           ":7:49: discharge is written as asterisks: its value was too large and is lost\n" + b +
                           ":10:1: water_pH is infinite, which the geochemistry program cannot read\n" + b +
                           ":34:49: condensate_Na is not a number (nan), which the geochemistry program cannot read\n" +
                           b + ":68:65: the last block is cut short (the last line has no line feed): the run that wrote it "
                               "was stopped\n" +
                           "3 samples, 4 problems\n");

    writeFile(b, good.str() + "x\n");
    run = runVerb(workbench::checkFiles, {b, dir.file("none")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, b + ":1: sample 1 \"HS-3/2002-014\"\n" + b + ":35: sample 2 \"HS-3/2002-014\"\n" + b +
                           ":69:1: the title line expected: unexpected character\n2 samples, 1 problem\n");
    EXPECT_EQ(run.err, "zelkfile: cannot open \"" + dir.file("none") + "\": No such file or directory\n");
}

}  // namespace
}  // namespace zelk::test
