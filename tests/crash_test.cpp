// Killing a run at random moments: SIGKILL, SIGINT, SIGTERM and SIGHUP while a long answer
// file is piped in piece by piece. The output file must hold exactly the samples finished
// before the signal, as whole blocks (a SIGKILL may cut the block being written), and the
// signals the program handles must end it with status 1 and one line on standard error.
// ZELK_CRASH_SEED replays a failed round.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string_view>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "record/outfil.hpp"
#include "bench/answers.hpp"
#include "record/reader.hpp"
#include "support/harness.hpp"

namespace zelk::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view correctionPrompt = " Type item number, or\n <RETURN> if no                  :  ";
constexpr std::string_view steamMenuPrompt = " Type item number, or\n <RETURN> if no steam phase      :  ";

std::size_t occurrences(const std::string& text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Runs the program in folder, feeding the answers in random pieces at a random pace. With a
// signal, sends it `after` the program has shown its first bytes (its handlers are in place
// by then) and keeps standard input open until then; without, closes it once all is fed.
Run runAndKill(const std::string& folder, const std::string& answers, std::optional<int> signal,
                  Clock::duration after, std::mt19937_64& random, bool paced = true) {
    Process program({.argv = {ZELK_BINARY}, .folder = folder, .pipeInput = true});
    ::fcntl(program.input(), F_SETFL, O_NONBLOCK);

    Run result;
    std::size_t fed = 0, piece = 0;
    Clock::time_point nextPiece = Clock::now();
    Clock::time_point killAt{};
    bool killPending = false;
    bool started = false, inOpen = true;
    std::string* sinks[2] = {&result.out, &result.err};
    int reading[2] = {program.output(), program.errors()};  // -1 once read to their end
    char buffer[1 << 16];
    const auto closeInput = [&] {
        program.closeInput();
        inOpen = false;
    };
    while (reading[0] >= 0 || reading[1] >= 0) {
        Clock::time_point now = Clock::now();
        if (killPending && now >= killAt) {
            program.signal(*signal);
            killPending = false;
            closeInput();
        }
        if (inOpen && fed < answers.size() && now >= nextPiece) {
            if (piece == 0) piece = paced ? std::uniform_int_distribution<std::size_t>(1, 3000)(random) : answers.size();
            const ssize_t put = ::write(program.input(), answers.data() + fed, std::min(piece, answers.size() - fed));
            if (put > 0) {
                fed += static_cast<std::size_t>(put);
                piece -= static_cast<std::size_t>(put);
                if (piece == 0 && paced)
                    nextPiece = now + std::chrono::microseconds(std::uniform_int_distribution<int>(0, 2000)(random));
            } else if (errno != EAGAIN) {
                closeInput();  // the program has gone
            }
        }
        if (inOpen && fed == answers.size() && !signal) closeInput();

        // Wait for output, but no longer than until the next piece or the signal is due.
        Clock::time_point wake = now + std::chrono::milliseconds(20);
        if (inOpen && fed < answers.size()) wake = std::min(wake, nextPiece);
        if (killPending) wake = std::min(wake, killAt);
        const auto wait = std::max(Clock::duration::zero(), wake - Clock::now());
        const timespec timeout{0, static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count())};
        pollfd watch[2] = {{reading[0], POLLIN, 0}, {reading[1], POLLIN, 0}};
        ::ppoll(watch, 2, &timeout, nullptr);
        for (int k = 0; k < 2; ++k) {
            if (reading[k] < 0 || !(watch[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t got = ::read(reading[k], buffer, sizeof buffer);
            if (got > 0) {
                sinks[k]->append(buffer, static_cast<std::size_t>(got));
            } else {
                reading[k] = -1;
            }
        }
        if (signal && !started && !result.out.empty()) {
            started = true;
            killAt = Clock::now() + after;
            killPending = true;
        }
    }
    result.status = program.finish()->status;
    return result;
}

// What is known of one sample of the answers: its steam form, and what the console has shown
// by its last answer.
struct PlannedSample {
    int steamForm = 0;  // 0 for no steam phase
    long questionsAfter = 0;
    long steamMenusAfter = 0;
};

struct AnswerPlan {
    std::string text;
    std::vector<PlannedSample> samples;
};

// The bench's answers for `count` samples of the mix, some with corrections or typing errors
// on the way. They end with the last sample, before the another-sample question is answered.
AnswerPlan planAnswers(int count, const bench::AnswerMix& mix, std::uint64_t seed) {
    bench::AnswerWriter writer(mix, seed);
    AnswerPlan plan;
    bench::AnswerWriter::start(plan.text);
    for (int k = 0; k < count; ++k) {
        writer.sample(plan.text, k);
        const bench::AnswerWriter::Progress& p = writer.progress();
        plan.samples.push_back({p.steamForm, p.questions, p.steamMenus});
    }
    return plan;
}

// The number of whole blocks in an output file whose k-th block is the k-th sample of the
// answers, or -1 with the reason in why when the file is anything else.
int wholeBlocks(const std::string& file, std::string& why) {
    const ReadBlocks read = readBlocks(file);
    if (read.fault) {
        why = "line " + std::to_string(read.fault->line) + ", column " + std::to_string(read.fault->column) + ": " +
              read.fault->message + " (a file of " + std::to_string(file.size()) + " bytes)";
        return -1;
    }
    for (std::size_t k = 0; k < read.records.size(); ++k) {
        std::string number = bench::AnswerWriter::sampleNumber(static_cast<int>(k));
        number.resize(16, ' ');
        if (std::string_view(read.records[k].sampleNumber.data(), 16) != number)
            return why = "block " + std::to_string(k + 1) + " is not sample " + number, -1;
    }
    return static_cast<int>(read.records.size());
}

// The length of one block: every block of a file has the same.
std::size_t blockBytes(const std::string& file) {
    std::size_t at = 0;
    for (int line = 0; line < blockLines; ++line) at = file.find('\n', at) + 1;
    return at;
}

// A fixed seed, so that every run tries the same moments and a failure replays; another
// seed through ZELK_CRASH_SEED tries others.
std::uint64_t seed() {
    if (const char* given = std::getenv("ZELK_CRASH_SEED")) return std::strtoull(given, nullptr, 10);
    return 20261208;
}

// One round: a 300-sample answer file, killed with the signal at `kills` random moments.
void killRound(int signal, const char* notice, int kills) {
    const std::uint64_t roundSeed = seed();
    std::printf("signal %d: seed %llu (ZELK_CRASH_SEED replays it)\n", signal, static_cast<unsigned long long>(roundSeed));
    SCOPED_TRACE("ZELK_CRASH_SEED=" + std::to_string(roundSeed));
    std::mt19937_64 random(roundSeed);
    const AnswerPlan plan = planAnswers(300, {}, roundSeed);  // both water units, every steam form
    const std::string& answers = plan.text;

    // The pace of the whole file, to spread the kills over it.
    TempDir timing;
    const Clock::time_point start = Clock::now();
    const Run whole = runAndKill(timing.path(), answers, std::nullopt, {}, random);
    const auto span = Clock::now() - start;
    ASSERT_EQ(whole.status, 2) << whole.err;  // the answers stop before the last question is answered
    std::string why;
    const std::string wholeFile = readFile(timing.file("kavix.in"));
    ASSERT_EQ(wholeBlocks(wholeFile, why), 300) << why;

    int atBoundary = 0, none = 0, all = 0;
    long blocksSeen = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const auto after = std::chrono::nanoseconds(std::uniform_int_distribution<long long>(
            0, std::chrono::duration_cast<std::chrono::nanoseconds>(span).count())(random));
        TempDir place;
        const Run run = runAndKill(place.path(), answers, signal, after, random);
        std::string file = readFile(place.file("kavix.in"));
        // Only a SIGKILL can stop the write of a block part way, and only of the last one.
        if (signal == SIGKILL) file.resize(file.size() - file.size() % blockBytes(wholeFile));
        const int blocks = wholeBlocks(file, why);
        SCOPED_TRACE("kill " + std::to_string(kill + 1) + " after " + std::to_string(after.count()) + " ns");
        ASSERT_GE(blocks, 0) << why;
        EXPECT_EQ(wholeFile.compare(0, file.size(), file), 0) << "the blocks differ from those of the whole run";

        // Every another-sample question comes after its sample's block; the block of the next
        // sample may be in the file only once the console shows that sample's last question.
        const int asked = static_cast<int>(occurrences(run.out, " Another sample?\n"));
        bool nextMayBeIn = false;
        if (asked < 300) {
            const PlannedSample& next = plan.samples[static_cast<std::size_t>(asked)];
            const bool questions = occurrences(run.out, " Do you wish to correct any of these items?\n") ==
                                   static_cast<std::size_t>(next.questionsAfter);
            nextMayBeIn = questions && (next.steamForm == 0 ? endsWith(run.out, steamMenuPrompt) &&
                                                                  occurrences(run.out, " STEAM PHASE GAS DATA AS\n") ==
                                                                      static_cast<std::size_t>(next.steamMenusAfter)
                                                            : endsWith(run.out, correctionPrompt));
        }
        if (blocks != asked) {
            EXPECT_TRUE(nextMayBeIn && blocks == asked + 1)
                << blocks << " blocks in the file, but the console shows " << asked << " samples finished; "
                << occurrences(run.out, " Do you wish to correct any of these items?\n") << " correction questions, "
                << plan.samples[static_cast<std::size_t>(std::min(asked, 299))].questionsAfter
                << " by the end of the next sample; the console ends with \""
                << run.out.substr(run.out.size() - std::min<std::size_t>(run.out.size(), 80)) << "\"";
        }
        atBoundary += nextMayBeIn;
        none += blocks == 0;
        all += blocks == 300;
        blocksSeen += blocks;

        if (signal == SIGKILL) {
            EXPECT_EQ(run.status, 128 + SIGKILL);
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, std::string(notice) + "\n");
        }
    }
    std::printf("signal %d: %d kills over %.1f ms of input; %.1f blocks on average, %d with none, %d with all, "
                "%d at a sample's last question, %d inside a sample\n",
                signal, kills, std::chrono::duration<double, std::milli>(span).count(),
                static_cast<double>(blocksSeen) / kills, none, all, atBoundary, kills - atBoundary - all);
}

TEST(Crash, SigkillLeavesTheFinishedSamplesAsWholeBlocks) { killRound(SIGKILL, "", 50); }
TEST(Crash, SigintEndsWithInterrupt) { killRound(SIGINT, "Interrupt", 50); }
TEST(Crash, SigtermEndsWithKilled) { killRound(SIGTERM, "Killed", 50); }
TEST(Crash, SighupEndsWithHangup) { killRound(SIGHUP, "Hangup", 50); }

// Runs the program with its answers from a file and its console to /dev/null, so that it
// spends most of its time writing blocks, and kills it `after` the start if given.
void runFromFile(const std::string& folder, const std::string& answersFile, std::optional<Clock::duration> after) {
    Process program(
        {.argv = {ZELK_BINARY}, .folder = folder, .input = answersFile, .output = "/dev/null", .errors = "/dev/null"});
    if (after) {
        std::this_thread::sleep_for(*after);
        program.signal(SIGKILL);
    }
    program.finish();
}

// Here a kill between two pages of a block's write would show: it may cut the last block,
// never an earlier one.
TEST(Crash, SigkillWhileWritingCutsNoBlockButTheLast) {
    const std::uint64_t roundSeed = seed();
    std::printf("seed %llu (ZELK_CRASH_SEED replays it)\n", static_cast<unsigned long long>(roundSeed));
    SCOPED_TRACE("ZELK_CRASH_SEED=" + std::to_string(roundSeed));
    std::mt19937_64 random(roundSeed);
    TempDir place;
    const std::string answers = place.file("answers");
    writeFile(answers, planAnswers(150, {.waterUnits = {false, true, false}, .steamForms = {true}}, roundSeed).text);

    const Clock::time_point start = Clock::now();
    runFromFile(place.path(), answers, std::nullopt);
    const std::string wholeFile = readFile(place.file("kavix.in"));
    const long long span = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
    int kills = 0, partial = 0;
    for (; kills < 200; ++kills) {
        const auto after = std::chrono::nanoseconds(std::uniform_int_distribution<long long>(0, span)(random));
        std::filesystem::remove(place.file("kavix.in"));
        runFromFile(place.path(), answers, after);
        std::string file = readFile(place.file("kavix.in"));
        EXPECT_EQ(wholeFile.compare(0, file.size(), file), 0) << "kill after " << after.count() << " ns";
        partial += file.size() % blockBytes(wholeFile) != 0;
        file.resize(file.size() - file.size() % blockBytes(wholeFile));
        std::string why;
        EXPECT_GE(wholeBlocks(file, why), 0) << why << " (kill after " << after.count() << " ns)";
    }
    std::printf("%d kills over %.1f ms of writing, %d with part of a block\n", kills, static_cast<double>(span) / 1e6,
                partial);
}

}  // namespace
}  // namespace zelk::test
