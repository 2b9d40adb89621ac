// The main dialogue run in-process: banner, file name, menus, another-sample question, stops.
#include <gtest/gtest.h>

#include "dialogue/zelk.hpp"
#include "support/harness.hpp"

namespace zelk::test {
namespace {


const std::string waterMenu =
    emptyLines(6) + " WATER PHASE CONCENTRATIONS\n\n  1 : in mg/kg\n  2 : in m-mole/l\n\n"
                    " Type item number, default is 1  :  ";


struct Outcome {
    int status;
    std::string out, err, name, file;
};

Outcome run(const std::string& answers) {
    Outcome o;
    StringSource source(answers);
    StringSink sink, errors;
    {
        Console console(source, sink);
        auto open = [&](const std::string& name) -> std::unique_ptr<BlockFile> {
            o.name = name;
            return std::make_unique<MemoryBlocks>(o.file);
        };
        o.status = exitStatus(runZelk(console, errors, open));
    }
    o.out = sink.bytes();
    o.err = errors.bytes();
    return o;
}

// Answers for one sample: sundry data, water in mg/kg, then the given steam answer.
std::string sample(const std::string& steamAnswer) {
    std::string answers = lines({"S-1", "Well 1", "250", "20", "1100", "30", ""});
    answers += lines({"1"}) + std::string(17, '\n') + lines({"", steamAnswer});
    return answers;
}

TEST(Dialogue, FileNameDefaultRule) {
    struct Case {
        std::string answer, name;
    };
    const Case cases[] = {
        {"", "kavix.in"},
        {"        x", "kavix.inx"},
        {"  out.dat", "  out.dat"},
        {"       out", "       out"},
        {"results/well-12-2026-12-08-separator.txt", "results/well-12-2026-12-08-sep"},
        {"a b   ", "a b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const Outcome o = run(c.answer + "\n");
        EXPECT_EQ(o.name, c.name);
        EXPECT_EQ(o.out, banner() + "\n\n\n\n SUNDRY DATA\n\n\n" + itemPrompt("Sample number              :  "));
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.err, "zelk: end of file on standard input\n");
        EXPECT_EQ(o.file, "");
    }
}

TEST(Dialogue, AnotherSampleAnswers) {
    struct Case {
        std::string answer;
        bool goesOn;
    };
    const Case cases[] = {{"y", true}, {"Y", true},  {"yes", true}, {"Yes", true},
                          {"n", false}, {"", false}, {" y", false}, {"ok", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const Outcome o = run(std::string("\n") + sample("") + c.answer + "\n" + sample("") + "n\n");
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.err, "");
        const std::size_t blocks = static_cast<std::size_t>(std::count(o.file.begin(), o.file.end(), '\n')) / 34;
        EXPECT_EQ(blocks, c.goesOn ? 2u : 1u);
        EXPECT_TRUE(o.out.ends_with(anotherSample()));
    }
}

TEST(Dialogue, WaterMenuAnswersAndErrors) {
    // Everything but 2 selects mg/kg; x and 1.5 are input errors and show the menu again.
    for (const char* answer : {"", "1", "3", "0", "-2", "  1"}) {
        SCOPED_TRACE(answer);
        std::string answers = std::string("\n") + lines({"", "", "", "", "", "", "", "x", "1.5", answer});
        const Outcome o = run(answers);
        const std::string expected = waterMenu + errorMessage() + waterMenu + errorMessage() + waterMenu +
                                     "\n\n\n" + itemPrompt("CO2  in water (mg/kg)      :  ");
        EXPECT_TRUE(o.out.ends_with(expected));
    }
}

TEST(Dialogue, NoSteamPhaseAnswersWriteNoHeading) {
    const std::string steamMenuEnd = "\n\n Type item number, or\n <RETURN> if no steam phase      :  ";
    for (const char* answer : {"", "0", "10", "-1", "12345"}) {
        SCOPED_TRACE(answer);
        const Outcome o = run(std::string("\n") + sample(answer) + "n\n");
        EXPECT_EQ(o.status, 0);
        EXPECT_TRUE(o.out.ends_with(steamMenuEnd + anotherSample())) << "no heading between the menu and the question";
        // Lines 25 to 34: every steam field is zero.
        const std::string zero = "      0.00000000";
        EXPECT_NE(o.file.find("\n" + zero + zero + zero + zero + zero + "\n\n<Gas CH4"), std::string::npos);
    }
}

TEST(Dialogue, SteamMenuErrorShowsTheMenuAgain) {
    const Outcome o = run(std::string("\n") + sample("x") + lines({"", "n"}));
    const std::string menuTop = emptyLines(6) + " STEAM PHASE GAS DATA AS\n";
    const std::size_t first = o.out.find(menuTop);
    ASSERT_NE(first, std::string::npos);
    const std::size_t error = o.out.find(errorMessage() + menuTop, first);
    EXPECT_NE(error, std::string::npos);
    EXPECT_EQ(o.status, 0);
}

}  // namespace
}  // namespace zelk::test
