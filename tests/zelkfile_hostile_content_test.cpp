// zelkfile against hostile content: values the file cannot hold, bytes that are not text,
// control characters meant for a terminal, formulas for a spreadsheet and the largest cell;
// then the help it gives a person at the keyboard, and the text rules under all of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/harness.hpp"
#include "support/workbench.hpp"
#include "zelkfile/csv.hpp"
#include "zelkfile/text.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

// Lines joined, each ended by a line feed, with TABLE and FILE put in for the table's and the
// output file's names.
std::string expectedLines(const std::vector<std::string>& each, const TempDir& dir) {
    std::string text;
    for (std::string line : each) {
        for (const auto& [mark, name] : {std::pair{"TABLE", "lab.csv"}, std::pair{"FILE", "kavix.in"}})
            for (std::size_t at; (at = line.find(mark)) != std::string::npos;)
                line.replace(at, std::string_view(mark).size(), dir.file(name));
        text += line + "\n";
    }
    return text;
}

VerbRun importInto(const TempDir& dir, const std::string& table) {
    writeFile(dir.file("lab.csv"), table);
    return runVerb(workbench::importTable, {dir.file("lab.csv"), "-o", dir.file("kavix.in")});
}

const std::string range = "the file's field holds -999999.94 to 9999999";

// What the rows of hostile content do now: the import's status and every line it
// says, and whether the file was written (when not, the folder holds the table alone).
struct Row {
    const char* what;
    std::string table;
    int status;
    std::vector<std::string> err;
};

TEST(HostileContent, ImportSaysWhatItDoesWithEachValue) {
    const std::string sixtyFive(65536, 'L');
    const std::vector<Row> rows = {
        {"a concentration of eight integer digits", "sample_number,water_Cl\nS1,12345678\n", 2,
         {"TABLE:2:water_Cl: \"12345678\" would be written as asterisks and lost: " + range + " mg/kg",
          "zelkfile: \"FILE\" not written: the table has errors"}},
        {"a concentration near the largest float", "sample_number,water_SiO2\nS1, 3.4e38 \n", 2,
         {"TABLE:2:water_SiO2: \"3.4e38\" would be written as asterisks and lost: " + range + " mg/kg",
          "zelkfile: \"FILE\" not written: the table has errors"}},
        {"a negative discharge of seven integer digits", "sample_number,discharge\nS1,-1234567\n", 2,
         {"TABLE:2:discharge: \"-1234567\" would be written as asterisks and lost: " + range + " kg/s",
          "zelkfile: \"FILE\" not written: the table has errors"}},
        {"the values at the ends of the field", "sample_number,discharge,water_pH\nS1,9999999,-999999.94\n", 0,
         {"zelkfile: 1 sample written to \"FILE\""}},
        {"a concentration computed from m-mole/l and the density",
         "sample_number,water_unit,water_density,water_Cl\nS1,2,0.001,500000\n", 2,
         {"TABLE:2:water_Cl: the value would be 1.7725e+10 mg/kg, written as asterisks and lost: " + range +
              " mg/kg; it is computed from water_Cl \"500000\" and water_density \"0.001\"",
          "zelkfile: \"FILE\" not written: the table has errors"}},
        {"a steam value computed from the total-steam screen",
         "sample_number,steam_form,steam_CO2,steam_H2S\nS1,1,20000000,5\n", 2,
         {"TABLE:2:steam_CO2: the value would be 2e+07 mg/kg, written as asterisks and lost: " + range +
              " mg/kg; it is computed from steam_CO2 \"20000000\" and steam_H2S \"5\"",
          "zelkfile: \"FILE\" not written: the table has errors"}},
        {"every row is told, not only the first", "sample_number,water_Cl\nS1,12345678\nS2,1\nS3,-7654321\n", 2,
         {"TABLE:2:water_Cl: \"12345678\" would be written as asterisks and lost: " + range + " mg/kg",
          "TABLE:4:water_Cl: \"-7654321\" would be written as asterisks and lost: " + range + " mg/kg",
          "zelkfile: \"FILE\" not written: the table has errors"}},
        {"an infinity is kept, with a warning", "sample_number,discharge\nS1,1e39\n", 0,
         {"TABLE:2:discharge: warning: \"1e39\" is beyond the largest single-precision number and is written as "
          "inf, which the geochemistry program cannot read",
          "zelkfile: 1 sample written to \"FILE\""}},
        {"a text cell of 65536 bytes is read", "sample_number,sample_location\nS1\nS2\nS3\nS4\nS5\nS6," + sixtyFive + "\n",
         0,
         {"TABLE:7:sample_location: warning: the text is cut to its first 60 characters: \"" + std::string(60, 'L') +
              "\"",
          "zelkfile: 6 samples written to \"FILE\""}},
        {"a text cell of 65537 bytes is refused in its own row",
         "sample_number,sample_location\nS1\nS2\nS3\nS4\nS5\nS6," + sixtyFive + "L\n", 2,
         {"TABLE:7: a cell of more than 65536 bytes", "zelkfile: \"FILE\" not written: the table has errors"}},
        {"control characters in a diagnostic are escapes", "sample_number,water_Cl\nS1,\x1b[31m5\x07\n", 2,
         {"TABLE:2:water_Cl: \"\\x1b[31m5\\x07\" is not a number", "zelkfile: \"FILE\" not written: the table has errors"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        const VerbRun run = importInto(dir, row.table);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.err, expectedLines(row.err, dir));
        EXPECT_EQ(fs::exists(dir.file("kavix.in")), row.status == 0);
        EXPECT_EQ(entries(dir.path()).size(), row.status == 0 ? 2u : 1u);
    }
}

TEST(HostileContent, AnInfinityGoesRoundTheExport) {
    TempDir dir;
    ASSERT_EQ(importInto(dir, "sample_number,discharge,water_Cl\nS1,1e39,-1e39\n").status, 0);
    const std::string file = readFile(dir.file("kavix.in"));
    EXPECT_NE(file.find("             inf\n"), std::string::npos);
    const VerbRun exported = runVerb(workbench::exportFile, {dir.file("kavix.in")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("\nS1,,0,0,0,1e39,1,,"), std::string::npos) << exported.out;
    writeFile(dir.file("back.csv"), exported.out);
    const VerbRun back = runVerb(workbench::importTable, {dir.file("back.csv"), "-o", dir.file("back.in")});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(readFile(dir.file("back.in")), file);
}

// Sample numbers of bytes that are no UTF-8, drawn into the diagram: the SVG is well-formed,
// each byte that is no part of a sequence taken as its Latin-1 character, the controls among
// them shown as escapes.
TEST(HostileContent, TheDiagramIsWellFormedWhateverTheSampleNumbers) {
    struct Label {
        const char* what;
        std::string number;
        std::string label;  // as the SVG holds it
    };
    const std::vector<Label> labels = {
        {"a surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\\x80"},
        {"an overlong form", "\xE0\x80\x80", "\xC3\xA0\\x80\\x80"},
        {"U+FFFE", "\xEF\xBF\xBE", "\xC3\xAF\xC2\xBF\xC2\xBE"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\\x90\\x80\\x80"},
        {"a cut sequence", "a\xE2\x82", "a\xC3\xA2\\x82"},
        {"Latin-1", "Hver\xF0i", "Hver\xC3\xB0i"},
        {"UTF-8", "Hver\xC3\xB0i", "Hver\xC3\xB0i"},
        {"markup and a terminal's escape", "<&\x1b]0;x\a", "&lt;&amp;\\x1b]0;x\\x07"},
    };
    std::string table = "sample_number,water_Na,water_K,water_Mg\n";
    for (const Label& label : labels) {
        table += '"';
        table += label.number;
        table += "\",1000,100,1\n";
    }
    TempDir dir;
    ASSERT_EQ(importInto(dir, table).status, 0);
    const VerbRun run = runVerb(workbench::reportFiles, {dir.file("kavix.in"), "--svg", dir.file("d.svg")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string svg = readFile(dir.file("d.svg"));
    // Points at one place share a label; each keeps its sample number in its title.
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(labels[i].what);
        EXPECT_NE(svg.find("<title>" + std::to_string(i + 1) + ": " + labels[i].label + "</title>"), std::string::npos);
    }
    if (const std::string missing = missingTool({{"xmllint", "libxml2-utils"}}); !missing.empty()) GTEST_SKIP() << missing;
    const auto [output, status] = runShell("xmllint --noout '" + dir.file("d.svg") + "'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "");
}

// A sample number that would retitle a terminal and one that would clear it, seen by check,
// by the report's table and by the diagram's note.
TEST(HostileContent, ControlCharactersReachNoTerminal) {
    TempDir dir;
    ASSERT_EQ(importInto(dir, "sample_number,sample_location\n\"\x1b]0;owned\a\",\x1b[2J\n\x9b" "2J,\n").status, 0);
    const std::string file = dir.file("kavix.in");
    const VerbRun check = runVerb(workbench::checkFiles, {file});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, file + ":1: sample 1 \"\\x1b]0;owned\\x07\"\n" + file + ":35: sample 2 \"\\x9b2J\"\n" +
                             "2 samples, 0 problems\n");
    const VerbRun report = runVerb(workbench::reportFiles, {file, "--svg", dir.file("d.svg")});
    EXPECT_EQ(report.status, 0);
    EXPECT_NE(report.out.find("\n  1  \\x1b]0;owned\\x07 0.000"), std::string::npos) << report.out;
    EXPECT_NE(report.err.find(":1: sample 1 (\\x1b]0;owned\\x07): no Na, K or Mg"), std::string::npos) << report.err;
    // A file name, which a folder may hand on from anyone.
    const VerbRun named = runVerb(workbench::checkFiles, {dir.file("\x1b[2J")});
    EXPECT_EQ(named.err, "zelkfile: cannot open \"" + dir.file("\\x1b[2J") + "\": No such file or directory\n");
    for (const std::string& text : {check.out, report.out, report.err, named.err}) {
        EXPECT_EQ(text.find('\x1b'), std::string::npos);
        EXPECT_EQ(text.find('\x9b'), std::string::npos);
        EXPECT_EQ(text.find('\a'), std::string::npos);
    }
}

// Texts a spreadsheet would run as formulas leave with an apostrophe and come back without.
TEST(HostileContent, FormulasLeaveGuardedAndComeBackWhole) {
    TempDir dir;
    // The table's own apostrophes are taken off: ''x is the text 'x.
    ASSERT_EQ(importInto(dir, "sample_number,sample_location\n=1+1,+cmd|' /C calc'!A0\n@SUM(A1),-2+3\n"
                              "''quoted,\"\tTAB\"\n-5,+7.3\n'plain,x\n")
                  .status,
              0);
    const std::string file = readFile(dir.file("kavix.in"));
    const VerbRun exported = runVerb(workbench::exportFile, {dir.file("kavix.in")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::vector<std::string> texts;
    for (std::size_t at = exported.out.find('\n') + 1; at < exported.out.size();) {
        const std::size_t end = exported.out.find('\n', at);
        const std::string line = exported.out.substr(at, end - at);
        // The two text cells: up to the third comma outside quotes.
        std::size_t cut = 0;
        bool quoted = false;
        for (int commas = 0; cut < line.size(); ++cut) {
            if (line[cut] == '"') quoted = !quoted;
            if (!quoted && line[cut] == ',' && ++commas == 2) break;
        }
        texts.push_back(line.substr(0, cut));
        at = end + 1;
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"'=1+1,'+cmd|' /C calc'!A0", "'@SUM(A1),'-2+3", "''quoted,'\tTAB",
                                               "-5,+7.3", "plain,x"}));
    writeFile(dir.file("back.csv"), exported.out);
    const VerbRun back = runVerb(workbench::importTable, {dir.file("back.csv"), "-o", dir.file("back.in")});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(readFile(dir.file("back.in")), file);

    const VerbRun csv = runVerb(workbench::reportFiles, {dir.file("kavix.in"), "--csv"});
    EXPECT_NE(csv.out.find(",1,'=1+1,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",2,'@SUM(A1),"), std::string::npos) << csv.out;
}

TEST(FormulaGuard, IsPutBeforeWhatASpreadsheetWouldRun) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"=1+1", true},  {"+x", true},    {"-x", true},    {"@SUM(A1)", true}, {"\tx", true}, {"\rx", true},
        {"'", true},     {"''x", true},   {"-", true},     {"+", true},        {"-5", false}, {"+7.3", false},
        {"-1e5", false}, {"-.5", false},  {"a=b", false},  {"", false},        {" =x", false}, {"5-3", false},
    };
    for (const auto& [cell, guarded] : cases) EXPECT_EQ(workbench::needsFormulaGuard(cell), guarded) << cell;
}

// The person at the keyboard: what a mistake in a table gets said to it.
TEST(Help, ImportSaysWhatWasMeant) {
    const std::vector<Row> rows = {
        {"a name without its phase", "sample_number,SiO2\nS1,5\n", 2,
         {"TABLE:1:SiO2: unknown column; did you mean water_SiO2?"}},
        {"a name of several phases", "sample_number,CO2\nS1,5\n", 2,
         {"TABLE:1:CO2: unknown column; did you mean water_CO2, steam_CO2, gas_CO2 or condensate_CO2?"}},
        {"a slip of the keyboard", "sample_number,water_Cu\nS1,5\n", 2,
         {"TABLE:1:water_Cu: unknown column; did you mean water_Ca or water_Cl?"}},
        {"a slip without the phase", "sample_number,temperatur\nS1,5\n", 2,
         {"TABLE:1:temperatur: unknown column; did you mean sampling_temperature or gas_temperature?"}},
        {"a detection limit", "sample_number,water_Mg\nS1,<0.01\n", 2,
         {"TABLE:2:water_Mg: \"<0.01\" is not a number; for a value below the detection limit enter 0 (not found) "
          "or the limit itself: the file has no mark for \"below\""}},
        {"not detected", "sample_number,water_Mg\nS1, n.d.\n", 2,
         {"TABLE:2:water_Mg: \"n.d.\" is not a number; for a value below the detection limit enter 0 (not found) "
          "or the limit itself: the file has no mark for \"below\""}},
        {"below detection limit", "sample_number,water_Mg\nS1,BDL\n", 2,
         {"TABLE:2:water_Mg: \"BDL\" is not a number; for a value below the detection limit enter 0 (not found) "
          "or the limit itself: the file has no mark for \"below\""}},
        {"a unit", "sample_number,water_Cl\nS1,500 mg/kg\n", 2,
         {"TABLE:2:water_Cl: \"500 mg/kg\" is not a number; drop the unit \"mg/kg\": the column's unit is fixed, "
          "write \"500\""}},
        {"a unit after an exponent", "sample_number,water_Cl\nS1,1e3ppm\n", 2,
         {"TABLE:2:water_Cl: \"1e3ppm\" is not a number; drop the unit \"ppm\": the column's unit is fixed, "
          "write \"1e3\""}},
        {"a decimal comma between commas", "sample_number,water_Cl\nS1,\"500,5\"\n", 2,
         {"TABLE:2:water_Cl: \"500,5\" is not a number in a table separated by commas; write a decimal point, or "
          "separate the table by \";\" or tab, where a decimal comma is read"}},
        {"a letter too many", "sample_number,water_Cl\nS1,12a\n", 2, {"TABLE:2:water_Cl: \"12a\" is not a number"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        const VerbRun run = importInto(dir, row.table);
        EXPECT_EQ(run.status, row.status);
        std::vector<std::string> err = row.err;
        err.push_back("zelkfile: \"FILE\" not written: the table has errors");
        EXPECT_EQ(run.err, expectedLines(err, dir));
        EXPECT_FALSE(fs::exists(dir.file("kavix.in")));
    }
}

TEST(Help, ImportReadsWhatASpreadsheetWrites) {
    // The same sample in each: column names in any case, and a first line naming the separator.
    const std::vector<std::pair<const char*, std::string>> tables = {
        {"plain", "sample_number,water_Na,water_SiO2\nS1,500.5,7.3\n"},
        {"names in any case", "SAMPLE_NUMBER,water_na,Water_SiO2\nS1,500.5,7.3\n"},
        {"sep=; with decimal commas", "sep=;\r\nsample_number;water_Na;water_SiO2\r\nS1;500,5;7,3\r\n"},
        {"sep=, with a semicolon in the header", "sep=,\nsample_number,water_Na,water_SiO2\nS1,500.5,7.3\n"},
        {"sep= tab", "sep=\t\nsample_number\twater_Na\twater_SiO2\nS1\t500,5\t7.3\n"},
    };
    std::string expected;
    for (const auto& [what, table] : tables) {
        SCOPED_TRACE(what);
        TempDir dir;
        const VerbRun run = importInto(dir, table);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, expectedLines({"zelkfile: 1 sample written to \"FILE\""}, dir));
        const std::string file = readFile(dir.file("kavix.in"));
        if (expected.empty()) expected = file;
        EXPECT_EQ(file, expected);
    }
    // The first line counts as a row, so rows keep the numbers of their lines.
    TempDir dir;
    const VerbRun run = importInto(dir, "sep=;\nsample_number;water_Na\nS1;x\n");
    EXPECT_EQ(run.err, expectedLines({"TABLE:3:water_Na: \"x\" is not a number",
                                      "zelkfile: \"FILE\" not written: the table has errors"},
                                     dir));
}

TEST(Help, ImportSaysWhatItWroteAndWhatItKept) {
    TempDir dir;
    const std::string table = "sample_number\nS1\nS2\n";
    EXPECT_EQ(importInto(dir, table).err, expectedLines({"zelkfile: 2 samples written to \"FILE\""}, dir));
    EXPECT_EQ(importInto(dir, table).err,
              expectedLines({"zelkfile: 2 samples written to \"FILE\"; the earlier file is kept as \"FILE.~1~\""}, dir));
    EXPECT_EQ(importInto(dir, "sample_number\n").err,
              expectedLines({"zelkfile: 0 samples written to \"FILE\"; the earlier file is kept as \"FILE.~2~\""}, dir));
}

TEST(Help, ATableGivenForAnOutputFileIsNamedSo) {
    TempDir dir;
    writeFile(dir.file("lab.csv"), "\xEF\xBB\xBFsample_number;water_Cl\nS1;5\n");
    const std::string table = dir.file("lab.csv");
    const std::string fault = table + ":1:1: the title line expected: unexpected character\n";
    const std::string hint = "zelkfile: \"" + table +
                             "\" is a table, not an output file; to write an output file from it: zelkfile import " +
                             table + " -o kavix.in\n";
    const VerbRun check = runVerb(workbench::checkFiles, {table});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, fault + "0 samples, 1 problem\n");
    EXPECT_EQ(check.err, hint);
    const VerbRun report = runVerb(workbench::reportFiles, {table});
    EXPECT_EQ(report.status, 2);
    EXPECT_EQ(report.err, fault + hint);
    const VerbRun exported = runVerb(workbench::exportFile, {table});
    EXPECT_EQ(exported.status, 2);
    EXPECT_EQ(exported.err, fault + hint + "zelkfile: \"" + table + "\" not exported: it has errors\n");
    // A file that is neither gets no such line.
    writeFile(dir.file("notes.txt"), "some notes\n");
    EXPECT_EQ(runVerb(workbench::checkFiles, {dir.file("notes.txt")}).err, "");
}

// The character rules under every text shown or drawn: the accept/reject table of the reader
// of UTF-8 or Latin-1, then what a terminal and an XML document get.
TEST(Text, CharactersAreUtf8SequencesOrLatin1Bytes) {
    struct Case {
        std::string bytes;
        char32_t code;
        std::size_t length;
    };
    const std::vector<Case> cases = {
        {"a", 'a', 1},
        {"\xC3\xA9", 0xE9, 2},
        {"\xE2\x82\xAC", 0x20AC, 3},
        {"\xF0\x9F\x98\x80", 0x1F600, 4},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
        {"\xEF\xBF\xBD", 0xFFFD, 3},
        {"\xED\x9F\xBF", 0xD7FF, 3},
        {"\xEE\x80\x80", 0xE000, 3},
        {"\xC2\x80", 0x80, 2},
        // Rejected: each byte its Latin-1 character.
        {"\xC0\x80", 0xC0, 1},              // overlong
        {"\xC1\xBF", 0xC1, 1},              // overlong
        {"\xE0\x80\x80", 0xE0, 1},          // overlong
        {"\xE0\x9F\xBF", 0xE0, 1},          // overlong
        {"\xF0\x8F\xBF\xBF", 0xF0, 1},      // overlong
        {"\xED\xA0\x80", 0xED, 1},          // surrogate
        {"\xED\xBF\xBF", 0xED, 1},          // surrogate
        {"\xEF\xBF\xBE", 0xEF, 1},          // U+FFFE
        {"\xEF\xBF\xBF", 0xEF, 1},          // U+FFFF
        {"\xF4\x90\x80\x80", 0xF4, 1},      // above U+10FFFF
        {"\xF5\x80\x80\x80", 0xF5, 1},
        {"\xE2\x82", 0xE2, 1},              // cut
        {"\xE2\x82" "a", 0xE2, 1},
        {"\xE9", 0xE9, 1},                  // lone Latin-1
        {"\x80", 0x80, 1},
        {"\xFF", 0xFF, 1},
    };
    for (const Case& c : cases) {
        const zelk::Character got = zelk::characterAt(c.bytes, 0);
        EXPECT_EQ(got.code, c.code) << testing::PrintToString(c.bytes);
        EXPECT_EQ(got.length, c.length) << testing::PrintToString(c.bytes);
    }
}

TEST(Text, TerminalsAndDocumentsGetOnlyWhatIsSafe) {
    struct Case {
        std::string text;
        std::string printable;
        std::string xml;
    };
    const std::vector<Case> cases = {
        {"HS-10 \"east\"", "HS-10 \"east\"", "HS-10 &quot;east&quot;"},
        {"a\tb", "a\tb", "a\tb"},
        {"\x1b[2J", "\\x1b[2J", "\\x1b[2J"},
        {"\x1b]0;t\a", "\\x1b]0;t\\x07", "\\x1b]0;t\\x07"},
        {std::string("\0\n\r\x7f", 4), "\\x00\\x0a\\x0d\\x7f", "\\x00\\x0a\\x0d\\x7f"},
        {"\xC2\x9B" "2J", "\\xc2\\x9b2J", "\\xc2\\x9b2J"},
        {"\x9B" "2J", "\\x9b2J", "\\x9b2J"},
        {"\xC3\xA9t\xE9", "\xC3\xA9t\xE9", "\xC3\xA9t\xC3\xA9"},
        {"\xB0" "C", "\xB0" "C", "\xC2\xB0" "C"},
        {"\xED\xA0\x80", "\xED\xA0\\x80", "\xC3\xAD\xC2\xA0\\x80"},
        {"a<b>&", "a<b>&", "a&lt;b&gt;&amp;"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zelk::printable(c.text), c.printable) << testing::PrintToString(c.text);
        EXPECT_EQ(workbench::xmlText(c.text), c.xml) << testing::PrintToString(c.text);
    }
}

// Whatever the bytes, xmlText gives UTF-8 whose every character XML allows: every text of one
// or two bytes, and of three bytes beginning with each lead byte.
TEST(Text, XmlIsWellFormedForAnyBytes) {
    const auto wellFormed = [](const std::string& xml) {
        for (std::size_t at = 0; at < xml.size();) {
            const zelk::Character c = zelk::characterAt(xml, at);
            const bool sequence = c.code < 0x80 || c.length > 1;  // no byte taken as Latin-1
            if (!sequence || zelk::isControl(c.code) || c.code == '<' || c.code == '>') return false;
            at += c.length;
        }
        return true;
    };
    std::string text;
    for (int a = 0; a < 256; ++a) {
        text.assign(1, static_cast<char>(a));
        ASSERT_TRUE(wellFormed(workbench::xmlText(text))) << a;
        for (int b = 0; b < 256; ++b) {
            text.assign({static_cast<char>(a), static_cast<char>(b)});
            ASSERT_TRUE(wellFormed(workbench::xmlText(text))) << a << " " << b;
            if (a >= 0xE0) {
                for (int c : {0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF}) {
                    text.assign({static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)});
                    ASSERT_TRUE(wellFormed(workbench::xmlText(text))) << a << " " << b << " " << c;
                }
            }
        }
    }
}

}  // namespace
}  // namespace zelk::test
