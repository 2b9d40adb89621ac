// zelkfile import: the same file as the dialogue given the same answers, for every water unit
// and steam form; the dialects of CSV; and every error, reported with nothing changed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "support/harness.hpp"
#include "support/workbench.hpp"
#include "zelkfile/columns.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> folder(const TempDir& dir) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) names.insert(entry.path().filename());
    return names;
}

VerbRun import(const TempDir& dir, const std::string& tableText, const std::string& name = "lab.csv") {
    writeFile(dir.file(name), tableText);
    return runVerb(workbench::importTable, {dir.file(name), "-o", dir.file("kavix.in")});
}

// The samples whose block the dialogue writes without a field of asterisks; the others, whose
// values the file would lose, go to lost.
std::vector<Sample> keepingEveryValue(const std::vector<Sample>& samples, std::vector<Sample>* lost = nullptr) {
    std::vector<Sample> kept;
    for (const Sample& sample : samples) {
        const bool asterisks = dialogueFile(typedAnswers({sample})).find("****************") != std::string::npos;
        if (!asterisks)
            kept.push_back(sample);
        else if (lost)
            lost->push_back(sample);
    }
    return kept;
}

TEST(Import, GivesTheFileOfTheDialogueForEveryWaterUnitAndSteamForm) {
    for (std::uint64_t seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(seed);
        std::vector<Sample> lost;
        const std::vector<Sample> samples = keepingEveryValue(everyUnitAndForm(seed), &lost);
        // A row whose value the dialogue would write as asterisks is refused, naming the field.
        for (const Sample& sample : lost) {
            TempDir dir;
            const VerbRun run = import(dir, table({sample}));
            EXPECT_EQ(run.status, 2);
            EXPECT_NE(run.err.find(":2:"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(" written as asterisks and lost: the file's field holds -999999.94 to 9999999"),
                      std::string::npos) << run.err;
            EXPECT_FALSE(fs::exists(dir.file("kavix.in")));
        }
        int status = -1;
        const std::string expected = dialogueFile(typedAnswers(samples), &status);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(static_cast<std::size_t>(std::count(expected.begin(), expected.end(), '\n')), 34 * samples.size());
        TempDir dir;
        const VerbRun run = import(dir, table(samples));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(importErrors(run.err), "");
        EXPECT_EQ(readFile(dir.file("kavix.in")), expected);
    }
}

TEST(Import, GivesTheFileOfTheBuiltDialogue) {
    // The same answers piped into zelk itself.
    const std::vector<Sample> samples = everyUnitAndForm(99);
    TempDir dir;
    const zelk::test::Run zelk = runProgram(dir.path(), typedAnswers(samples));
    ASSERT_EQ(zelk.status, 0) << zelk.err;
    fs::rename(dir.file("kavix.in"), dir.file("zelk.out"));
    const VerbRun run = import(dir, table(samples));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("kavix.in")), readFile(dir.file("zelk.out")));
}

std::string withDecimalComma(const std::string& number) {
    std::string text = number;
    if (const std::size_t point = text.find('.'); point != std::string::npos) text[point] = ',';
    return text;
}

TEST(Import, ReadsEveryDialectToTheSameFile) {
    const std::vector<Sample> samples = keepingEveryValue(everyUnitAndForm(7));
    const std::string expected = dialogueFile(typedAnswers(samples));
    auto crlf = [](std::string text) {
        for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
        return text;
    };
    struct Dialect {
        const char* what;
        std::string text;
    };
    // A header that names only some columns, in its own order, with a quoted name.
    std::string fewColumns = "steam_form,\"sample_number\",water_unit\n,S1,2\n,S2,\n";
    const std::vector<Dialect> dialects = {
        {"comma, LF", table(samples)},
        {"comma, CRLF", crlf(table(samples))},
        {"byte-order mark", "\xEF\xBB\xBF" + table(samples)},
        {"semicolons with decimal commas", table(samples, ';', withDecimalComma)},
        {"tabs with decimal commas, CRLF", crlf(table(samples, '\t', withDecimalComma))},
        {"semicolons with decimal points", table(samples, ';')},
        {"empty lines between rows", [&] {
             std::string text = table(samples);
             text.insert(text.find('\n') + 1, "\n\n");
             return text + "\n";
         }()},
        {"rows of empty cells below the table", table(samples) + ",,,,,\n,\n  ,\t\n"},
        {"no line end after the last row", [&] {
             std::string text = table(samples);
             text.pop_back();
             return text;
         }()},
    };
    for (const Dialect& d : dialects) {
        SCOPED_TRACE(d.what);
        TempDir dir;
        const VerbRun run = import(dir, d.text);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(importErrors(run.err), "");
        EXPECT_EQ(readFile(dir.file("kavix.in")), expected);
    }

    // Quoted cells with separators, quotes, blanks and a line break inside; the row with a
    // line break in a quoted cell counts once in the row numbers of the warning.
    TempDir dir;
    const VerbRun run = import(dir, "sample_number,sample_location,discharge,water_Cl\n"
                                    "\" A,1\",\"say \"\"hot\"\", 2\"\" pipe\",  3.5 ,\"4\"\n"
                                    "\"B\nB\",fine,7\n"
                                    "C,\"" + std::string(61, 'x') + "\",8\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, dir.file("lab.csv") + ":3:sample_number: a line break inside the text; a block holds each "
                                             "text on one line\n" +
                           dir.file("lab.csv") + ":4:sample_location: warning: the text is cut to its first 60 "
                                                 "characters: \"" + std::string(60, 'x') + "\"\n" +
                           "zelkfile: \"" + dir.file("kavix.in") + "\" not written: the table has errors\n");
    const VerbRun good = import(dir, "sample_number,sample_location,discharge,water_Cl\n"
                                     "\" A,1\",\"say \"\"hot\"\", 2\"\" pipe\",  3.5 ,\"4\"\n");
    ASSERT_EQ(good.status, 0) << good.err;
    Sample quoted;
    quoted.typed = {{"sample_number", " A,1"}, {"sample_location", "say \"hot\", 2\" pipe"}, {"discharge", "  3.5 "},
                    {"water_Cl", "4"}};
    EXPECT_EQ(readFile(dir.file("kavix.in")), dialogueFile(typedAnswers({quoted})));
}

TEST(Import, NumbersKeepAllTheirDigitsWhereATypedAnswerKeepsFifteen) {
    // Typed, 12345678901234567e-10 would be cut to 123456789012345 and not fit its field.
    TempDir dir;
    const VerbRun run = import(dir, "discharge,sampling_temperature\n12345678901234567e-10,1e39\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string file = readFile(dir.file("kavix.in"));
    EXPECT_NE(file.find("\n             inf      0.00000000      0.000000001234567.87500000\n"), std::string::npos)
        << file;
}

TEST(Import, CutsLongTextsWithAWarning) {
    TempDir dir;
    const std::string table = dir.file("lab.csv");
    const VerbRun run = import(dir, "sample_number,sample_location\n12345678901234567890," + std::string(70, 'L') + "\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, table + ":2:sample_number: warning: the text is cut to its first 16 characters: \"1234567890123456\"\n" +
                           table + ":2:sample_location: warning: the text is cut to its first 60 characters: \"" +
                           std::string(60, 'L') + "\"\n" + "zelkfile: 1 sample written to \"" + dir.file("kavix.in") +
                           "\"\n");
    EXPECT_NE(readFile(dir.file("kavix.in")).find("1234567890123456" + std::string(60, 'L') + "\n"), std::string::npos);
}

TEST(Import, ReportsEveryErrorAndChangesNothing) {
    const std::string header = "sample_number,water_unit,water_density,water_Cl,steam_form,gas_CO2,steam_CO2\n";
    struct Case {
        const char* what;
        std::string table;
        std::vector<std::string> errors;  // after "TABLE:"
    };
    const std::vector<Case> cases = {
        {"not a number", header + "S1,,,12a,,,\n", {"2:water_Cl: \"12a\" is not a number"}},
        {"a water unit", header + "S1,3,,,,,\n", {"2:water_unit: \"3\" is not a water unit: empty, 1 (mg/kg) or 2 (m-mole/l)"}},
        {"a steam form", header + "S1,,,,10,,\n", {"2:steam_form: \"10\" is not a steam form: empty or 0 to 9"}},
        {"a column that the steam form does not ask", header + "S1,,,,8,5,\n",
         {"2:gas_CO2: steam form 8 does not ask this column; leave it empty"}},
        {"a column without steam phase", header + "S1,,,,,,5\n",
         {"2:steam_CO2: a row without steam phase (steam form empty or 0) does not ask this column; leave it empty"}},
        {"a column that the water unit does not ask", header + "S1,1,0.9,,,,\n",
         {"2:water_density: water unit 1 does not ask this column; leave it empty"}},
        {"a line break in a text", header + "\"S\n1\",,,,,,\n",
         {"2:sample_number: a line break inside the text; a block holds each text on one line"}},
        {"an unknown column, near none", "sample_number,copper\nS1,5\n",
         {"1:copper: unknown column; the columns are: " + [] {
              std::string list;
              for (const workbench::Column& c : workbench::columns) list += (list.empty() ? "" : ", ") + std::string(c.name);
              return list;
          }()}},
        {"a column named twice", "discharge,sample_number,discharge\n1,S1,2\n",
         {"1:discharge: the column is named twice (column 3)"}},
        {"a value beyond the header", "sample_number,discharge\nS1,1,x,y\n",
         {"2:column 3: a value beyond the 2 columns of the header row"}},
        {"a value under a column without name", "sample_number,,discharge\nS1,x,1\n",
         {"2:column 2: a value in a column that the header row does not name"}},
        {"broken quoting", header + "S1,\"1\"x,,,,,\n",
         {"2: the quoting is broken: a quote inside a cell that does not begin with one, text after a closing "
          "quote, or a quote never closed"}},
        {"a quote never closed", header + "S1\nS2,\"1\n",
         {"3: the quoting is broken: a quote inside a cell that does not begin with one, text after a closing "
          "quote, or a quote never closed"}},
        {"an empty table", "", {"1: no header row: the table is empty"}},
        {"every error of every row", header + "S1,,,12a,,,\nS2,,,,,,\nS3,2,x,,11,,\n",
         {"2:water_Cl: \"12a\" is not a number", "4:steam_form: \"11\" is not a steam form: empty or 0 to 9",
          "4:water_density: \"x\" is not a number"}},
        {"a cell too large", "sample_location\n" + std::string(70000, 'x') + "\n", {"2: a cell of more than 65536 bytes"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        writeFile(dir.file("kavix.in"), "yesterday's samples\n");
        const std::set<std::string> before = {"kavix.in", "lab.csv"};
        const VerbRun run = import(dir, c.table);
        std::string expected;
        for (const std::string& error : c.errors) expected += dir.file("lab.csv") + ":" + error + "\n";
        expected += "zelkfile: \"" + dir.file("kavix.in") + "\" not written: the table has errors\n";
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, expected);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(readFile(dir.file("kavix.in")), "yesterday's samples\n");
        EXPECT_EQ(folder(dir), before);
    }
}

TEST(Import, ReportsTablesAndOutputsThatCannotBeUsed) {
    TempDir dir;
    writeFile(dir.file("lab.csv"), "discharge\n1\n");
    fs::create_directory(dir.file("folder"));
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{dir.file("none.csv")}, "zelkfile: cannot open table \"" + dir.file("none.csv") + "\": No such file or directory\n"},
        {{dir.file("lab.csv"), "-o", dir.file("folder")},
         "zelkfile: cannot open output file \"" + dir.file("folder") + "\": Is a directory\n"},
        {{}, "usage: zelkfile import TABLE.csv [-o FILE]\n"},
        {{"a.csv", "b.csv"}, "usage: zelkfile import TABLE.csv [-o FILE]\n"},
        {{"a.csv", "-x"}, "usage: zelkfile import TABLE.csv [-o FILE]\n"},
    };
    for (const Case& c : cases) {
        const VerbRun run = runVerb(workbench::importTable, c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.error);
    }
    EXPECT_EQ(folder(dir), (std::set<std::string>{"folder", "lab.csv"}));
}

TEST(Import, KeepsTheEarlierFileAndWritesAnEmptyTable) {
    TempDir dir;
    writeFile(dir.file("kavix.in"), "yesterday's samples\n");
    const VerbRun run = import(dir, "sample_number,discharge\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("kavix.in")), "");
    EXPECT_EQ(readFile(dir.file("kavix.in.~1~")), "yesterday's samples\n");
}

TEST(Import, ChecksTheWholeTableBeforeAFifoGetsAByte) {
    for (const bool good : {false, true}) {
        SCOPED_TRACE(good);
        TempDir dir;
        ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
        // The reading end is open before the import opens the FIFO; the pipe holds two blocks.
        const int fd = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        writeFile(dir.file("lab.csv"), std::string("sample_number,discharge\nS1,1\nS2,") + (good ? "2" : "x") + "\n");
        const VerbRun run = runVerb(workbench::importTable, {dir.file("lab.csv"), "-o", dir.file("fifo")});
        std::string received;
        char buffer[8192];
        for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) received.append(buffer, static_cast<std::size_t>(got));
        ::close(fd);
        EXPECT_EQ(run.status, good ? 0 : 2) << run.err;
        EXPECT_EQ(received.size(), good ? 2 * 1635u : 0u);
    }
}

}  // namespace
}  // namespace zelk::test
