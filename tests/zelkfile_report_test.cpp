// zelkfile report: the examples' report kept as approved text, the CSV's columns, the Na-K-Mg
// diagram as XML, and files that are not what they should be.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "record/outfil.hpp"
#include "support/harness.hpp"
#include "zelkfile/geothermometers.hpp"
#include "zelkfile/report_row.hpp"
#include "zelkfile/report_page.hpp"
#include "zelkfile/text.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result report(const std::vector<std::string>& words) {
    const std::vector<std::string_view> arguments(words.begin(), words.end());
    StringSink out, err;
    const test::SignalMaskKept mask;
    const int status = reportFiles(arguments, out, err);
    return {status, out.bytes(), err.bytes()};
}

struct Water {
    const char* number;
    float sio2, na, k, mg, ca;
    float pressure = 0, enthalpy = 0;
    float cl = 0;
};

SampleRecord record(const Water& w) {
    SampleRecord r;
    readA(w.number, r.sampleNumber);
    readA("", r.sampleLocation);
    r.waterConc[9] = w.sio2;
    r.waterConc[10] = w.na;
    r.waterConc[11] = w.k;
    r.waterConc[12] = w.mg;
    r.waterConc[13] = w.ca;
    r.waterConc[15] = w.cl;
    r.samplingPressure = w.pressure;
    r.fluidEnthalpy = w.enthalpy;
    return r;
}

std::string blocks(const std::vector<Water>& waters) {
    TextBuffer out;
    for (const Water& w : waters) formatBlock(out, record(w));
    return out.str();
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

// A mismatch leaves NAME.received beside the approved file, for diff.
void expectApproved(const fs::path& approved, const std::string& got) {
    if (test::matchesKept(approved.string(), got)) return;
    ADD_FAILURE() << approved.filename().string() << " differs from the report of today; see "
                  << approved.filename().string() << ".received";
}

// The report of the imported lab table and of a file of the dialogue with two samples, run
// from the source folder so that the names are short.
TEST(Report, OfTheExamplesAsApproved) {
    const fs::path source(ZELK_SOURCE_DIR);
    std::vector<std::string> files = {"examples/lab-table.out", "examples/steam-8-residual-gas-mgkg.out"};
    const fs::path here = fs::current_path();
    fs::current_path(source);
    const Result table = report(files);
    files.push_back("--csv");
    const Result csv = report(files);
    fs::current_path(here);

    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.err, "");
    expectApproved(source / "tests/report/examples.approved", table.out);
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.err, "");
    expectApproved(source / "tests/report/examples-csv.approved", csv.out);
}

TEST(Report, CsvColumnsFullPrecisionAndEmptyCells) {
    TempDir folder;
    const std::vector<Water> waters = {
        {"A-1", 480, 1250, 210, 0.04f, 5.1f, 9.2f, 1280},
        {"B,\"2\"", 0, 900, 120, 0, 4},  // no silica, no Mg
        {"C-3", 1200, 60, 10, 30, 25, 10},  // immature, 10 bar-g with no enthalpy, silica above range
    };
    writeFile(folder.file("lab.out"), blocks(waters));
    const Result r = report({folder.file("lab.out"), "--csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = split(r.out, '\n');
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0],
              "file,sample,sample_number,steam_fraction,quartz,quartz_steam_loss,chalcedony,alpha_cristobalite,"
              "beta_cristobalite,amorphous_silica,na_k_fournier,na_k_giggenbach,na_k_truesdell,k_mg,na_k_ca,"
              "maturity_index,maturity,quartz_liquid,excess_enthalpy,na_k_ca_mg,reservoir_chloride,ionic_strength,"
              "cations,anions,charge_balance,hco3,co3,notes");
    EXPECT_EQ(rows[4], "");

    // Each cell reads back to exactly the value of the sample's row, in the order of the columns;
    // the notes last, joined by "; ".
    const std::vector<std::string> prefixes = {",A-1,", ",\"B,\"\"2\"\"\",", ",C-3,"};
    for (std::size_t i = 0; i < waters.size(); ++i) {
        const ReportRow data = reportRow(record(waters[i]));
        ASSERT_EQ(data.cells.size(), reportColumns().size());
        const std::string row = rows[i + 1];
        const std::string head = folder.file("lab.out") + "," + std::to_string(i + 1) + prefixes[i];
        ASSERT_EQ(row.rfind(head, 0), 0u) << row;
        const std::vector<std::string> cells = split(row.substr(head.size()), ',');
        ASSERT_EQ(cells.size(), data.cells.size() + 1) << row;
        for (std::size_t c = 0; c < data.cells.size(); ++c) {
            const ReportCell& cell = data.cells[c];
            if (cell.column->words)
                EXPECT_EQ(cells[c], cell.text) << row << " cell " << c;
            else if (!cell.value)
                EXPECT_EQ(cells[c], "") << row << " cell " << c;
            else
                EXPECT_EQ(std::strtod(cells[c].c_str(), nullptr), *cell.value) << row << " cell " << c;
        }
        EXPECT_EQ(cells.back(), joinedNotes(data.notes));
    }
    EXPECT_EQ(split(rows[3], ',').back(),
              "immature water: Na/K and Na-K-Ca do not hold; no enthalpy: total discharge unknown; "
              "quartz_steam_loss above its range; no charge balance: no pH");
}

// The row of a sample as data: every column, a value above its calibration flagged, the notes.
TEST(Report, RowAsData) {
    const ReportRow row = reportRow(record({"R", 800, 1000, 100, 0.01f, 10}));  // quartz 339 °C
    ASSERT_EQ(row.cells.size(), reportColumns().size());
    for (std::size_t c = 0; c < row.cells.size(); ++c) EXPECT_EQ(row.cells[c].column, &reportColumns()[c]);
    std::vector<std::string> outOfRange;
    for (const ReportCell& cell : row.cells)
        if (!cell.inRange) outOfRange.emplace_back(cell.column->csvName);
    EXPECT_EQ(outOfRange, (std::vector<std::string>{"quartz", "quartz_steam_loss", "chalcedony", "alpha_cristobalite"}));
    // The water has no pH: the balance's note follows those of the geothermometers.
    ASSERT_EQ(row.notes.size(), outOfRange.size() + 1);
    EXPECT_EQ(row.notes.front(), "quartz above its range");
    EXPECT_EQ(row.notes.back(), "no charge balance: no pH");
    EXPECT_EQ(row.value("steam_fraction"), 0.0);
    EXPECT_FALSE(row.value("notes"));
    EXPECT_EQ(joinedNotes({"a", "b c"}), "a; b c");
    EXPECT_EQ(joinedNotes({}), "");
}

// The table: each file named once above its samples, two lines per sample and the notes on a
// third, a value above its range in parentheses, no line longer than 132 characters even with
// every note there can be.
TEST(Report, TableForPeople) {
    TempDir folder;
    std::vector<Water> many(12, Water{"SPRING-7", 150, 70, 3, 0.05f, 2});
    many.push_back({"K-RICH", 100, 1, 30, 0.1f, 1});  // Na/K 1217 / (1.483 - 1.477) - 273.15 = 206,000 °C
    many.push_back({"LONG-NOTES-9999", 1100, 60, 10, 0.8f, 5, 10, 1});  // six notes
    writeFile(folder.file("a.out"), blocks({{"HOT", 800, 1000, 100, 0.01f, 10}}));
    writeFile(folder.file("b.out"), blocks(many));
    const Result r = report({folder.file("a.out"), folder.file("b.out")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    for (const std::string& line : lines) EXPECT_LE(line.size(), 132u) << line;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), folder.file("a.out")), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), folder.file("b.out")), 1);
    EXPECT_EQ(r.out.find(folder.file("a.out")), r.out.rfind(folder.file("a.out")));

    const auto at = std::find(lines.begin(), lines.end(), folder.file("a.out"));
    ASSERT_LT(at + 3, lines.end());
    EXPECT_EQ(at[1].rfind("   1  HOT              0.000 (339) (261) (304) (260)   213   179   266", 0), 0u) << at[1];
    EXPECT_EQ(at[2].rfind("         217   232   188   ", 0), 0u) << at[2];
    EXPECT_EQ(at[3].rfind("       quartz above its range; quartz_steam_loss above its range; ", 0), 0u) << at[3];
    const auto b = std::find(lines.begin(), lines.end(), folder.file("b.out"));
    ASSERT_LT(b + 2, lines.end());
    EXPECT_EQ(b[1].rfind("   1  SPRING-7", 0), 0u) << b[1];
    EXPECT_EQ(b[3], "       no charge balance: no pH");  // the only note
    EXPECT_EQ(b[4].rfind("   2  SPRING-7", 0), 0u) << b[4];
    // The notes of the last sample take two lines, broken between notes.
    const auto kRich = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("K-RICH") != l.npos; });
    ASSERT_LT(kRich + 1, lines.end());
    EXPECT_EQ(kRich[1].rfind("       *****  4821     -", 0), 0u) << kRich[1];
    EXPECT_EQ(lines.end()[-5].rfind("  14  LONG-NOTES-9999  0.000     - (289) (353) (302) (259)   221   318 -1446.4", 0), 0u)
        << lines.end()[-5];
    EXPECT_EQ(lines.end()[-3].rfind("       immature water: Na/K and Na-K-Ca do not hold; ", 0), 0u);
    EXPECT_EQ(lines.end()[-2], "       alpha_cristobalite above its range; beta_cristobalite above its range; Mg correction 66 \xC2\xB0" "C; no charge balance: no pH");
    EXPECT_NE(lines.end()[-3].back(), ' ');
    EXPECT_EQ(lines.end()[-3].back(), ';') << lines.end()[-3];
}

// Every column and the notes of the CSV, through the file, against the same equations worked
// apart in Python with python3-iapws's steam tables (tests/support/geothermometers_reference.py):
// separator samples with and without an enthalpy, excess-enthalpy wells, springs and a weir
// box at 0 bar-g, Mg-rich waters in each band of R, an immature water, silica far above range.
TEST(Report, AgreesWithAnIndependentComputation) {
    const auto [reference, status] =
        test::runShell("/usr/bin/python3 " ZELK_SOURCE_DIR "/tests/support/geothermometers_reference.py --all");
    ASSERT_EQ(status, 0) << reference << "(is python3-iapws installed?)";
    std::vector<std::vector<std::string>> expected;
    std::vector<std::string> numbers;
    std::vector<Water> waters;
    for (const std::string& line : split(reference, '\n')) {
        if (line.empty()) continue;
        expected.push_back(split(line, '\t'));
        const std::vector<std::string>& e = expected.back();
        // The geothermometers' columns, the first of the report's; the charge balance has tests of its own.
        ASSERT_GT(e.size(), 10u) << line;
        ASSERT_LE(e.size(), 9 + reportColumns().size() + 1) << line;
        numbers.push_back("D" + std::to_string(expected.size()));
        const auto number = [&](std::size_t i) { return std::strtof(e[i].c_str(), nullptr); };
        waters.push_back({numbers.back().c_str(), number(3), number(4), number(5), number(6), number(7), number(1),
                          number(2), number(8)});
    }
    ASSERT_GE(waters.size(), 18u);
    for (std::size_t i = 0; i < waters.size(); ++i) waters[i].number = numbers[i].c_str();

    TempDir folder;
    writeFile(folder.file("d.out"), blocks(waters));
    const Result r = report({folder.file("d.out"), "--csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = split(r.out, '\n');
    ASSERT_EQ(rows.size(), waters.size() + 2);
    const std::size_t compared = expected.front().size() - 10;
    EXPECT_EQ(reportColumns()[compared - 1].csvName, "reservoir_chloride");
    std::vector<double> worst(compared);
    for (std::size_t i = 0; i < waters.size(); ++i) {
        const std::vector<std::string>& e = expected[i];
        const std::vector<std::string> cells = split(rows[i + 1], ',');
        ASSERT_EQ(cells.size(), 3 + reportColumns().size() + 1) << rows[i + 1];
        for (std::size_t c = 0; c < compared; ++c) {
            const std::string& want = e[9 + c];
            const std::string& got = cells[3 + c];
            const std::string_view name = reportColumns()[c].csvName;
            if (reportColumns()[c].words || want.empty() || got.empty()) {
                EXPECT_EQ(got, want) << e[0] << ", " << name;
                continue;
            }
            const double difference = std::fabs(std::strtod(got.c_str(), nullptr) - std::strtod(want.c_str(), nullptr));
            EXPECT_LT(difference, 1e-3) << e[0] << ", " << name << ": " << got << " against " << want;
            worst[c] = std::max(worst[c], difference);
        }
        // The notes of the geothermometers come first, the balance's after them.
        EXPECT_EQ(cells.back().rfind(e.back(), 0), 0u) << e[0] << ": " << cells.back() << " against " << e.back();
    }
    std::string figures;
    for (std::size_t c = 0; c < worst.size(); ++c)
        if (!reportColumns()[c].words) figures += concat({" ", reportColumns()[c].csvName, " ", shortest(worst[c])});
    std::printf("%zu discharges, largest differences:%s\n", waters.size(), figures.c_str());
}

// Temperatures to 1 °C and x to three decimals, from the value itself rather than a
// printf guess: ties go to even on the exact binary value, and a negative zero loses its sign.
TEST(Report, DecimalsAreExact) {
    EXPECT_EQ(fixed(2.5, 0), "2");
    EXPECT_EQ(fixed(3.5, 0), "4");
    EXPECT_EQ(fixed(-0.4, 0), "0");
    EXPECT_EQ(fixed(-0.6, 0), "-1");
    EXPECT_EQ(fixed(0.0005, 3), "0.001");  // the double is just above 0.0005
    EXPECT_EQ(fixed(0.0015, 3), "0.002");  // and this one just above 0.0015
    EXPECT_EQ(fixed(1e21, 0), "1000000000000000000000");
    EXPECT_EQ(shortest(0.1), "0.1");
    EXPECT_EQ(shortest(0.1 + 0.2), "0.30000000000000004");
}

TEST(Report, TableShowsNoValueAsDash) {
    TempDir folder;
    writeFile(folder.file("a.out"), blocks({{"NO-SILICA", 0, 1000, 100, 1, 10}}));
    const Result r = report({folder.file("a.out")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = split(r.out, '\n');
    // No silica: seven dashes and none for the reservoir; Na/K and the rest have values; MI 2.26.
    EXPECT_EQ(rows[rows.size() - 4], "  1  NO-SILICA        0.000     -     -     -     -     -     -     -       -      -");
    EXPECT_EQ(rows[rows.size() - 3], "        217   232   188   168   222  2.26 partial equilibrium     214      -");
    EXPECT_EQ(rows[rows.size() - 2], "      Mg correction 8 \xC2\xB0" "C; no charge balance: no pH");
}

// A fault in any file prints nothing and writes no diagram; the fault is told as check tells
// it, with its line and column.
TEST(Report, FaultyFilePrintsNothing) {
    TempDir folder;
    const std::string good = blocks({{"G-1", 300, 1000, 100, 1, 10}});
    std::string bad = blocks({{"B-1", 300, 1000, 100, 1, 10}, {"B-2", 300, 1000, 100, 1, 10}});
    bad.replace(bad.find("<  Na in water >", bad.find("B-2")), 4, "<  N");
    bad[bad.find("<  Na in water >", bad.find("B-2")) + 3] = 'X';
    writeFile(folder.file("good.out"), good);
    writeFile(folder.file("bad.out"), bad);
    const Result r = report({folder.file("good.out"), folder.file("bad.out"), "--svg", folder.file("nakmg.svg")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(folder.file("bad.out") + ":52:4: ", 0), 0u) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);

    const Result missing = report({folder.file("good.out"), folder.file("none.out")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "zelkfile: cannot open \"" + folder.file("none.out") + "\": No such file or directory\n");

    // A pipe gives its blocks once; the report needs them twice.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], good.data(), good.size()), static_cast<ssize_t>(good.size()));
    ::close(ends[1]);
    const std::string piped = "/dev/fd/" + std::to_string(ends[0]);
    const Result pipe = report({folder.file("good.out"), piped});
    ::close(ends[0]);
    EXPECT_EQ(pipe.status, 2);
    EXPECT_EQ(pipe.out, "");
    EXPECT_NE(pipe.err.find("zelkfile: cannot read \"" + piped + "\" twice: "), std::string::npos) << pipe.err;
}

// A lost value that the report needs is told, once, with its place; the rest are check's.
TEST(Report, LostValuesAreTold) {
    TempDir folder;
    std::string file = blocks({{"L-1", 300, 1000, 100, 1, 10}});
    const std::size_t k = file.find("    100.00000000");  // K, line 19, column 17
    file.replace(k, 16, std::string(16, '*'));
    const std::size_t discharge = file.find("      0.00000000", file.find("Discharge"));  // not needed
    file.replace(discharge, 16, "             nan");
    writeFile(folder.file("a.out"), file);
    const Result r = report({folder.file("a.out")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, folder.file("a.out") + ":19:17: water_K is written as asterisks: its value was too large and is lost\n");
    const std::vector<std::string> rows = split(r.out, '\n');
    EXPECT_EQ(rows[rows.size() - 3], "          -     -     -     -     -     - -                         -      -") << rows[rows.size() - 3];
    EXPECT_EQ(rows[rows.size() - 2], "      no charge balance: no pH");
}

TEST(Report, CommandErrors) {
    TempDir folder;
    writeFile(folder.file("a.out"), blocks({{"A", 300, 1000, 100, 1, 10}}));
    const struct {
        std::vector<std::string> words;
        std::string err;
    } cases[] = {
        {{}, "zelkfile report: no FILE given; see zelkfile report --help\n"},
        {{folder.file("a.out"), "--svg"}, "zelkfile report: --svg needs a PATH; see zelkfile report --help\n"},
        {{folder.file("a.out"), "--pdf"}, "zelkfile report: unknown option \"--pdf\"; see zelkfile report --help\n"},
        {{folder.file("a.out"), "--html"}, "zelkfile report: --html needs a PAGE; see zelkfile report --help\n"},
        {{folder.file("a.out"), "--html="}, "zelkfile report: --html needs a PAGE; see zelkfile report --help\n"},
        {{folder.file("a.out"), "--svg", "x", "--html", "x"},
         "zelkfile report: --svg and --html name the same file; see zelkfile report --help\n"},
    };
    for (const auto& c : cases) {
        const Result r = report(c.words);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
    const std::string kept = readFile(folder.file("a.out"));
    const Result onItself = report({folder.file("a.out"), "--svg", folder.path() + "/./a.out"});
    EXPECT_EQ(onItself.status, 2);
    EXPECT_EQ(onItself.err, "zelkfile report: " + folder.path() + "/./a.out is one of the FILEs; the diagram would replace it\n");
    EXPECT_EQ(readFile(folder.file("a.out")), kept);

    const Result pageOnItself = report({folder.file("a.out"), "--html", folder.file("a.out")});
    EXPECT_EQ(pageOnItself.status, 2);
    EXPECT_EQ(pageOnItself.err, "zelkfile report: " + folder.file("a.out") + " is one of the FILEs; the page would replace it\n");
    EXPECT_EQ(readFile(folder.file("a.out")), kept);

    const Result unwritable = report({folder.file("a.out"), "--svg", folder.file("no/such/folder.svg")});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_NE(unwritable.err.find("No such file or directory"), std::string::npos) << unwritable.err;
    const Result unwritablePage = report({folder.file("a.out"), "--html", folder.file("no/such/page.html")});
    EXPECT_EQ(unwritablePage.status, 2);
    EXPECT_EQ(unwritablePage.out, "");
    EXPECT_NE(unwritablePage.err.find("No such file or directory"), std::string::npos) << unwritablePage.err;
}

// The diagram parsed as XML: one point per sample with Na, K and Mg, where the corners'
// weights put it, and a note for the sample left out.
TEST(Report, DiagramHasOnePointPerSample) {
    TempDir folder;
    const std::vector<Water> waters = {
        {"W-1", 300, 1000, 100, 1, 10},
        {"W-2", 300, 1000, 100, 0, 10},  // no Mg
        {"<&\xB0", 300, 2000, 250, 0.5f, 10},
        {"W-4", 300, 400, 20, 9, 10},
    };
    writeFile(folder.file("lab.out"), blocks(waters));
    const std::string svg = folder.file("na-k-mg.svg");
    const Result r = report({folder.file("lab.out"), "--svg", svg});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, folder.file("lab.out") + ":35: sample 2 (W-2): no Na, K or Mg; left out of the Na-K-Mg diagram\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);

    const auto [checked, valid] = test::runShell("xmllint --noout " + svg);
    ASSERT_EQ(valid, 0) << checked;
    const std::string circle = "//*[local-name()='g'][@class='sample']/*[local-name()='circle']";
    const auto [xs, xStatus] = test::runShell("xmllint --xpath \"" + circle + "/@cx\" " + svg);
    const auto [ys, yStatus] = test::runShell("xmllint --xpath \"" + circle + "/@cy\" " + svg);
    const auto [labels, labelStatus] =
        test::runShell("xmllint --xpath \"//*[local-name()='text'][@class='label']/text()\" " + svg);
    ASSERT_EQ(xStatus, 0) << xs;
    ASSERT_EQ(yStatus, 0) << ys;
    ASSERT_EQ(labelStatus, 0) << labels;
    EXPECT_EQ(labels, "W-1\n&lt;&amp;\xC2\xB0\nW-4\n");  // escaped, and in UTF-8

    // Corners Na/1000 (100, 660), K/100 (700, 660), sqrt(Mg) (400, 660 - 300 sqrt(3)).
    std::vector<std::pair<double, double>> expected;
    for (const Water& w : waters) {
        if (w.mg <= 0) continue;
        const double a = w.na / 1000.0, b = w.k / 100.0, c = std::sqrt(double(w.mg)), sum = a + b + c;
        expected.emplace_back((100 * a + 700 * b + 400 * c) / sum, (660 * (a + b) + (660 - 300 * std::sqrt(3.0)) * c) / sum);
    }
    std::vector<double> x, y;
    for (const std::string& attribute : split(xs, '\n')) x.push_back(std::atof(attribute.substr(attribute.find('"') + 1).c_str()));
    for (const std::string& attribute : split(ys, '\n')) y.push_back(std::atof(attribute.substr(attribute.find('"') + 1).c_str()));
    ASSERT_EQ(x.size(), expected.size() + 1) << xs;  // split keeps the empty piece after the last line
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(x[i], expected[i].first, 0.005) << i;
        EXPECT_NEAR(y[i], expected[i].second, 0.005) << i;
    }
}

// The page as data: well-formed, nothing fetched, one row per sample numbered across the
// files with the CSV's columns, one point per sample with Na, K and Mg where its values put
// it, and the sample without them named under the triangle.
TEST(Report, PageHoldsTableAndTriangle) {
    TempDir folder;
    writeFile(folder.file("a.out"), blocks({{"A-1", 300, 1000, 100, 1, 10}, {"A-2", 300, 900, 120, 0, 10}}));
    writeFile(folder.file("b.out"), blocks({{"B<1>", 480, 1250, 210, 0.04f, 5.1f, 9.2f, 1280}}));
    const std::string page = folder.file("page.html");
    const Result r = report({folder.file("a.out"), folder.file("b.out"), "--html", page});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto [lint, valid] = test::runShell("xmllint --noout " + page);
    ASSERT_EQ(valid, 0) << lint;
    const std::string html = readFile(page);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"", 0), 0u);
    for (const char* outside : {"<script", "<link", " src=", "url(", "@import", "<img"})
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;

    const auto xpath = [&](const std::string& path) {
        auto [text, status] = test::runShell("xmllint --xpath \"" + path + "\" " + page);
        EXPECT_EQ(status, 0) << path << ": " << text;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    };
    EXPECT_EQ(xpath("count(//*[local-name()='tbody']/*[local-name()='tr'])"), "3");
    EXPECT_EQ(xpath("string(//*[local-name()='tbody']/*[local-name()='tr'][3]/*[local-name()='td'][1])"), "3");
    // #, then every column of the CSV: file, sample, sample_number, the report's columns, notes.
    EXPECT_EQ(xpath("count(//*[local-name()='thead']//*[local-name()='th'])"), std::to_string(1 + 3 + reportColumns().size() + 1));
    EXPECT_NE(html.find("B&lt;1&gt;"), std::string::npos);
    EXPECT_NE(html.find("not drawn: 2 (A-2: no Mg)"), std::string::npos);

    // Points 1 and 3, in the colours of their files, where their values put them.
    const std::string triangle = "//*[@id='na-k-mg']";
    EXPECT_EQ(xpath("count(" + triangle + "//*[local-name()='circle'][@class='point'])"), "2");
    const std::vector<std::pair<std::string, Water>> drawn = {{"1", {"A-1", 300, 1000, 100, 1, 10}},
                                                              {"3", {"B<1>", 480, 1250, 210, 0.04f, 5.1f}}};
    for (const auto& [number, w] : drawn) {
        const std::string circle = triangle + "//*[local-name()='g'][@data-n='" + number + "']/*[local-name()='circle']";
        const double a = w.na / 1000.0, b = w.k / 100.0, c = std::sqrt(double(w.mg)), sum = a + b + c;
        EXPECT_NEAR(std::atof(xpath("string(" + circle + "/@cx)").c_str()), (100 * a + 700 * b + 400 * c) / sum, 0.005);
        EXPECT_NEAR(std::atof(xpath("string(" + circle + "/@cy)").c_str()),
                    (660 * (a + b) + (660 - 300 * std::sqrt(3.0)) * c) / sum, 0.005);
    }
    EXPECT_EQ(xpath("string(" + triangle + "//*[local-name()='g'][@data-n='1']/*[local-name()='circle']/@fill)"), "#d55e00");
    EXPECT_EQ(xpath("string(" + triangle + "//*[local-name()='g'][@data-n='3']/*[local-name()='circle']/@fill)"), "#0072b2");
    // The other pictures follow, each naming what it could not draw.
    EXPECT_EQ(xpath("count(//*[local-name()='figure'])"), "4");
    EXPECT_NE(html.find("not drawn: 1 (A-1: no Cl), 2 (A-2: no Cl), 3 (B&lt;1&gt;: no Cl)"), std::string::npos);
    EXPECT_NE(html.find("not drawn: 1 (A-1: no enthalpy), 2 (A-2: no enthalpy)"), std::string::npos);
}

// The isotherms sit at the ratios of the report's own geothermometers: a water on the Na/K
// line of T gives T from Giggenbach's Na/K, one on the K/Mg line of T gives T from his K/Mg.
TEST(Report, IsothermsAtTheGeothermometersRatios) {
    TempDir folder;
    writeFile(folder.file("a.out"), blocks({{"A-1", 300, 1000, 100, 1, 10}}));
    const std::string svg = folder.file("t.svg");
    ASSERT_EQ(report({folder.file("a.out"), "--svg", svg}).status, 0);
    const auto values = [&](const std::string& path) {
        const auto [text, status] = test::runShell("xmllint --xpath \"" + path + "\" " + svg);
        EXPECT_EQ(status, 0) << text;
        std::vector<double> found;
        for (const std::string& attribute : split(text, '\n'))
            if (!attribute.empty()) found.push_back(std::atof(attribute.substr(attribute.find('"') + 1).c_str()));
        return found;
    };
    const std::vector<double> naKx = values("//*[local-name()='line'][@class='na-k-isotherm']/@x2");
    const std::vector<double> kMgx = values("//*[local-name()='line'][@class='k-mg-isotherm']/@x2");
    ASSERT_EQ(naKx.size(), 13u);
    ASSERT_EQ(kMgx.size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        const double t = 100 + 20.0 * static_cast<double>(i);
        // On the Na-K side x = 100 + 600 b / (a + b), a = Na/1000, b = K/100: Na/K = 10 (700 - x) / (x - 100).
        SampleRecord r;
        r.waterConc[10] = static_cast<float>(10 * (700 - naKx[i]) / (naKx[i] - 100));
        r.waterConc[11] = 1;
        EXPECT_NEAR(*geothermometers(r).naKGiggenbach, t, 0.05) << t;
        // On the K-Mg side x = 400 + 300 b / (b + c), b = K/100, c = sqrt(Mg): with K = 100, sqrt(Mg) = (700 - x) / (x - 400).
        const double rootMg = (700 - kMgx[i]) / (kMgx[i] - 400);
        r.waterConc[11] = 100;
        r.waterConc[12] = static_cast<float>(rootMg * rootMg);
        EXPECT_NEAR(*geothermometers(r).kMg, t, 0.05) << t;
    }
}

// Over 500 samples the pictures keep none of them: they read the files again to draw every
// point, unlabelled, where its values put it, in page and file alike.
TEST(Report, ManySamplesAreReadAgain) {
    TempDir folder;
    std::vector<Water> waters;
    for (int i = 0; i < 301; ++i) {
        const float f = static_cast<float>(i);
        waters.push_back({"M", 200 + f, 500 + 2 * f, 50 + f / 4, i % 7 == 0 ? 0 : 0.01f * (1 + f), 5});
    }
    writeFile(folder.file("a.out"), blocks(waters));
    writeFile(folder.file("b.out"), blocks(waters));
    const std::string page = folder.file("page.html"), svg = folder.file("t.svg");
    const Result r = report({folder.file("a.out"), folder.file("b.out"), "--html", page, "--svg", svg});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto values = [](const std::string& file, const std::string& path) {
        const auto [text, status] = test::runShell("xmllint --xpath \"" + path + "\" " + file);
        EXPECT_EQ(status, 0) << text.substr(0, 200);
        std::vector<double> found;
        for (const std::string& attribute : split(text, '\n'))
            if (!attribute.empty()) found.push_back(std::atof(attribute.substr(attribute.find('"') + 1).c_str()));
        return found;
    };
    const std::string inPage = "//*[@id='na-k-mg']//*[local-name()='circle'][@class='point']";
    const std::string inFile = "//*[local-name()='circle'][@class='point']";
    for (const auto& [file, circles] : {std::pair(page, inPage), std::pair(svg, inFile)}) {
        const std::vector<double> x = values(file, circles + "/@cx"), y = values(file, circles + "/@cy");
        std::vector<std::pair<double, double>> expected;
        for (int copy = 0; copy < 2; ++copy)
            for (const Water& w : waters) {
                if (w.mg <= 0) continue;
                const double a = w.na / 1000.0, b = w.k / 100.0, c = std::sqrt(double(w.mg)), sum = a + b + c;
                expected.emplace_back((100 * a + 700 * b + 400 * c) / sum,
                                      (660 * (a + b) + (660 - 300 * std::sqrt(3.0)) * c) / sum);
            }
        ASSERT_EQ(x.size(), expected.size()) << file;
        ASSERT_EQ(y.size(), expected.size()) << file;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(x[i], expected[i].first, 0.01) << file << " " << i;
            EXPECT_NEAR(y[i], expected[i].second, 0.01) << file << " " << i;
        }
        const auto [labels, status] =
            test::runShell("xmllint --xpath \"count(//*[local-name()='text'][@class='label' or @class='number'])\" " + file);
        EXPECT_EQ(labels, "0\n") << file;
    }
    const std::string html = readFile(page);
    EXPECT_NE(html.find("over 500 samples the points are drawn without labels"), std::string::npos);
    EXPECT_NE(html.find("not drawn: 1 (M: no Mg), 8 (M: no Mg)"), std::string::npos);
    EXPECT_NE(html.find(" and 46 more"), std::string::npos);  // 86 without Mg, 40 named
}

// Files that no longer read as they did leave no page behind.
TEST(Report, PageNotWrittenWhenTheFilesChange) {
    TempDir folder;
    const std::string path = folder.file("p.html");
    {
        ReportPage page(path, {{"a.out", 501}});
        std::string error;
        ASSERT_TRUE(page.open(error)) << error;
        const Replay changed = [](const std::function<void(const PictureSample&)>&) { return false; };
        EXPECT_FALSE(page.commit(changed, error));
        EXPECT_EQ(error, "the files changed while they were read; the page is not written");
        EXPECT_FALSE(fs::exists(path));
    }
    // Nor its new file beside the name, once the page is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 0);
}

// The example of fourteen discharges is what importing its table gives today.
TEST(Report, DischargesExampleImportsAsKept) {
    TempDir folder;
    const fs::path source(ZELK_SOURCE_DIR);
    const std::vector<std::string> words = {(source / "examples/discharges.csv").string(), "-o", folder.file("d.out")};
    const std::vector<std::string_view> arguments(words.begin(), words.end());
    StringSink out, err;
    ASSERT_EQ(importTable(arguments, out, err), 0) << err.bytes();
    EXPECT_EQ(readFile(folder.file("d.out")), readFile((source / "examples/discharges.out").string()));
}

}  // namespace
}  // namespace zelk::workbench
