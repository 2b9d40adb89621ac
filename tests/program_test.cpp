// The built program end to end: a whole piped run byte for byte, the ways a run stops,
// the output file's backup, and failed writes.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

const std::string eof = "zelk: end of file on standard input\n";

std::string steamMenu() {
    std::string menu = emptyLines(6) + " STEAM PHASE GAS DATA AS\n\n";
    for (const char* form : {"  1 : Total steam, mg gas/kg H2O", "  2 : Total steam, m-mole gas/kg H2O",
                             "  3 : Total steam, m-mole gas/mole H2O", "  4 : Total steam, mole-% gas including H2O",
                             "  5 : Total steam, weight-% gas including H2O",
                             "  6 : Volume-% dry gas and mg gas/kg condensate",
                             "  7 : Volume-% dry gas and m-mole gas/kg condensate",
                             "  8 : Volume-% residual gas and CO2, H2S, and NH3 in total steam, mg/kg",
                             "  9 : Volume-% residual gas and CO2, H2S, and NH3 in total steam, m-mole/kg"})
        menu += "\n" + std::string(form) + "\n";
    return menu + "\n\n Type item number, or\n <RETURN> if no steam phase      :  ";
}

// One sample typed with water in mg/kg and no steam phase: the answers and every console byte.
struct Sample {
    std::string answers, console, block;
};

Sample wellSample() {
    Sample s;
    s.answers = lines({"HE-21", "Hellisheidi, separator 2", "180.5", "9.2", "1120", "35.5", ""}) + lines({""});
    const std::string water[17] = {"12.3", "45.6", "0.8", "1.2", "650", "180", "25.5", "0.01", "1.5",
                                   "1.1", "150", "30", "0.9", "0.05", "1000", "8.9", "21"};
    for (const std::string& v : water) s.answers += v + "\n";
    s.answers += lines({"", ""});

    const std::string sundry[6] = {"Sample number              :  ", "Sample location            :  ",
                                   "Sampling temperature (\xB0" "C)  :  ", "Sampling pressure (bar-g)  :  ",
                                   "Fluid enthalpy (kJ/kg)     :  ", "Discharge (kg/s)           :  "};
    std::string c = "\n\n\n\n SUNDRY DATA\n\n\n";
    for (const std::string& label : sundry) c += itemPrompt(label);
    c += emptyLines(7) + "  1 : " + sundry[0] + "HE-21           \n";
    c += "  2 : " + sundry[1] + "Hellisheidi, separator 2" + std::string(18, ' ') + "\n";
    c += "  3 : " + sundry[2] + "  180.5000\n" + "  4 : " + sundry[3] + "    9.2000\n";
    c += "  5 : " + sundry[4] + " 1120.0000\n" + "  6 : " + sundry[5] + "   35.5000\n";
    c += correctionQuestion();
    c += emptyLines(6) + " WATER PHASE CONCENTRATIONS\n\n  1 : in mg/kg\n  2 : in m-mole/l\n\n" +
         " Type item number, default is 1  :  ";
    const std::string names[14] = {"CO2 ", "H2S ", "NH3 ", "B   ", "SiO2", "Na  ", "K   ",
                                   "Mg  ", "Ca  ", "F   ", "Cl  ", "SO4 ", "Al  ", "Fe  "};
    std::string labels[17];
    for (int k = 0; k < 14; ++k) labels[k] = names[k] + " in water (mg/kg)      :  ";
    labels[14] = "Total solids  (mg/kg)      :  ";
    labels[15] = "Water phase pH             :  ";
    labels[16] = "pH temperature (\xB0" "C)        :  ";
    // F20.10 of each value as the float holds it.
    const std::string shown[17] = {"12.3000001907", "45.5999984741", "0.8000000119", "1.2000000477",
                                   "650.0000000000", "180.0000000000", "25.5000000000", "0.0099999998",
                                   "1.5000000000", "1.1000000238", "150.0000000000", "30.0000000000",
                                   "0.8999999762", "0.0500000007", "1000.0000000000", "8.8999996185",
                                   "21.0000000000"};
    c += "\n\n\n";
    for (const std::string& label : labels) c += itemPrompt(label);
    c += emptyLines(5);
    for (int k = 0; k < 17; ++k) {
        const std::string number = std::to_string(k + 1);
        c += std::string(3 - number.size(), ' ') + number + " : " + labels[k] +
             std::string(20 - shown[k].size(), ' ') + shown[k] + "\n";
    }
    c += correctionQuestion() + steamMenu();
    s.console = c;

    const std::string z = "      0.00000000";
    s.block = lines({
        "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.",
        "",
        "< Sample number><       Sample location or other description               >",
        "HE-21           Hellisheidi, separator 2" + std::string(36, ' '),
        "",
        "<Temperature \xB0" "C><Pressure bar-g><Enthalpy kJ/kg><Discharge kg/s>",
        "    180.50000000      9.19999981   1120.00000000     35.50000000",
        "",
        "<Water phase pH><  pH temp. \xB0" "C >< CO2 in water >< H2S in water >",
        "      8.89999962     21.00000000     12.30000019     45.59999847",
        "",
        "< NH3 in water >< H2  in water >< O2  in water >< CH4 in water >< N2  in water >",
        "      0.80000001" + z + z + z + z,
        "",
        "<SiO2 in water ><  B  in water ><  Al in water ><  Fe in water >",
        "    650.00000000      1.20000005      0.89999998      0.05000000",
        "",
        "<  Na in water ><  K  in water ><  Mg in water ><  Ca in water >",
        "    180.00000000     25.50000000      0.01000000      1.50000000",
        "",
        "<  F  in water ><  Cl in water >< SO4 in water >< TDS in water >",
        "      1.10000002    150.00000000     30.00000000   1000.00000000",
        "",
        "<Gas CO2, vol %><Gas H2S, vol %><Gas NH3, vol %><Gas H2,  vol %><Gas O2,  vol %>",
        z + z + z + z + z,
        "",
        "<Gas CH4, vol %><Gas N2,  vol %><L gas/kg cond.><Gas  coll.  \xB0" "C>",
        z + z + z + z,
        "",
        "<  Steam  CO2  ><  Steam  H2S  ><  Steam  NH3  ><Condensate  pH><Cd. pH temp.\xB0" "C>",
        z + z + z + z + z,
        "",
        "<Condensate CO2><Condensate H2S><Condensate NH3><Condensate Na >",
        z + z + z + z,
    });
    return s;
}

TEST(Program, OneSampleByteForByte) {
    TempDir dir;
    const Sample s = wellSample();
    const auto run = runProgram(dir.path(), "\n" + s.answers + "n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, banner() + s.console + anotherSample());
    EXPECT_EQ(readFile(dir.file("kavix.in")), s.block);
    EXPECT_FALSE(std::filesystem::exists(dir.file("kavix.in.~1~")));
}

TEST(Program, ThreeSamplesInOrder) {
    TempDir dir;
    const Sample s = wellSample();
    const auto run = runProgram(dir.path(), "  out.dat\n" + s.answers + "y\n" + s.answers + "Yes\n" + s.answers + "\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, banner() + s.console + anotherSample() + s.console + anotherSample() + s.console + anotherSample());
    EXPECT_EQ(readFile(dir.file("  out.dat")), s.block + s.block + s.block);
}

TEST(Program, EndOfInputKeepsTheFinishedSamples) {
    TempDir dir;
    const Sample s = wellSample();
    for (const std::string& answers : {std::string("\n"), "\n" + s.answers + "y\nHE-22\nno line feed"}) {
        const auto run = runProgram(dir.path(), answers);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, eof);
        EXPECT_EQ(readFile(dir.file("kavix.in")), answers.size() > 1 ? s.block : "");
        EXPECT_TRUE(std::filesystem::exists(dir.file("kavix.in")));
    }
    const auto atOnce = runProgram(dir.path(), "");
    EXPECT_EQ(atOnce.status, 2);
    EXPECT_EQ(atOnce.out, banner());
    EXPECT_EQ(atOnce.err, eof);
}

TEST(Program, OutputFileThatCannotBeCreated) {
    TempDir dir;
    const auto run = runProgram(dir.path(), "no/such/folder/kavix.in\n" + wellSample().answers + "n\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, banner());
    EXPECT_EQ(run.err, "zelk: cannot open output file \"no/such/folder/kavix.in\": No such file or directory\n");
}

TEST(Program, NonEmptyFileIsKeptAsNumberedBackup) {
    TempDir dir;
    writeFile(dir.file("kavix.in"), "yesterday's samples\n");
    writeFile(dir.file("kavix.in.~1~"), "an older backup\n");
    const Sample s = wellSample();
    const auto run = runProgram(dir.path(), "\n" + s.answers + "n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readFile(dir.file("kavix.in")), s.block);
    EXPECT_EQ(readFile(dir.file("kavix.in.~1~")), "an older backup\n");
    EXPECT_EQ(readFile(dir.file("kavix.in.~2~")), "yesterday's samples\n");

    // An empty file is simply replaced; the backups stay as they were.
    writeFile(dir.file("kavix.in"), "");
    EXPECT_EQ(runProgram(dir.path(), "\n").status, 2);
    EXPECT_EQ(readFile(dir.file("kavix.in")), "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("kavix.in.~3~")));
}

// As root the program runs as nobody, for whom the folder cannot be written either.
TEST(Program, FolderThatCannotBeWrittenStopsTheRun) {
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                 std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
    std::filesystem::create_directory(dir.file("out"));
    writeFile(dir.file("out/kavix.in"), "data\n");
    std::filesystem::permissions(dir.file("out"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const auto run = runProgram(dir.path(), "out/kavix.in\n", {.normalUser = true});
    std::filesystem::permissions(dir.file("out"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "zelk: cannot open output file \"out/kavix.in\": Permission denied\n");
    EXPECT_EQ(readFile(dir.file("out/kavix.in")), "data\n");
}

TEST(Program, SignalsAfterAFinishedSample) {
    struct Case {
        int signal;
        std::string word;
    };
    for (const Case& c : {Case{SIGINT, "Interrupt\n"}, Case{SIGTERM, "Killed\n"}}) {
        SCOPED_TRACE(c.word);
        TempDir dir;
        const Sample s = wellSample();
        Running program(dir.path(), {.piped = true});
        program.answer("\n" + s.answers);
        ASSERT_TRUE(program.waitForOutputEnding(anotherSample()));
        program.answer("y\nHE-22\n");  // the next sample is begun but lost
        ASSERT_TRUE(program.waitForOutputEnding(itemPrompt("Sample location            :  ")));
        program.signal(c.signal);
        const auto run = program.finish();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.word);
        EXPECT_EQ(readFile(dir.file("kavix.in")), s.block);
    }
}

TEST(Program, FailedWriteIsReportedAndEndsWithStatusThree) {
    const Sample s = wellSample();
    const std::string report = "zelk: cannot write a sample to output file \"kavix.in\": File too large\n";
    // Room for one block and part of the next: no later block may be left in part, and each
    // one is reported.
    const long limit = static_cast<long>(s.block.size() + s.block.size() / 2);
    for (int samples : {2, 3, 12}) {
        TempDir dir;
        std::string answers = "\n", console = banner();
        std::string reports;
        for (int sample = 0; sample < samples; ++sample) {
            answers += s.answers + (sample + 1 < samples ? "y\n" : "n\n");
            console += s.console + anotherSample();
            if (sample > 0) reports += report;
        }
        const auto run = runProgram(dir.path(), answers, {.fileSizeLimit = limit});
        EXPECT_EQ(run.status, 3) << samples << " samples";
        EXPECT_EQ(run.err, reports) << samples << " samples";
        EXPECT_EQ(run.out, console) << samples << " samples";
        EXPECT_EQ(readFile(dir.file("kavix.in")), s.block) << samples << " samples";
    }
}

}  // namespace
}  // namespace zelk::test
