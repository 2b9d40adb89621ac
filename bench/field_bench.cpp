// Microbenchmarks of field editing: the F fields the program renders and the F15.0 and I5
// answers it reads, beside snprintf and strtod as references; and the whole dialogue of a
// batch run in memory, which is what the program spends above its system calls.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "bench/answers.hpp"
#include "base/field.hpp"
#include "dialogue/zelk.hpp"

namespace {

// Values as the screens and the output file meet them: typed values, converted values,
// zeros, and a few too wide for the narrower fields.
constexpr float someValues[] = {
    7.3f,     0.5f,       123.456f, 25.0f,    1234567.0f, 0.00123f, 44.010002f, 98.886f,
    0.0f,     250.5f,     12.0f,    -0.25f,   83.33333f,  0.29358f, 5675.342f,  1.0e9f,
    20.0f,    1000.0f,    6.85f,    0.0052f,  345.0f,     22.99f,   0.048930f,  12288.71f,
    100.0f,   0.001f,     9.5f,     1500.25f, 0.000075f,  60.0f,    2.5f,       48859.9f,
};

// Answers as typed: plain numbers, blanks, exponents, a comma, and empty lines.
constexpr const char* someLines[] = {
    "245.3", "0.0052", "1.234E+02", "  12.5", "", "7.3", "12345", "1,5",
    "-0.25", "99.4", "0.000123", "2800", "1.5-3", "38.27", "0", "15.05",
};

// Long runs of them in a scrambled order, so that the branch predictor cannot learn the
// sequence, as it cannot in a real run either.
constexpr std::size_t runLength = 4096;

template <typename T, std::size_t N>
std::vector<T> scrambled(const T (&pool)[N]) {
    std::vector<T> run;
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < runLength; ++i) {
        state = state * 1664525u + 1013904223u;
        run.push_back(pool[(state >> 16) % N]);
    }
    return run;
}

const std::vector<float> values = scrambled(someValues);
const std::vector<const char*> lines = scrambled(someLines);

constexpr const char* someItemNumbers[] = {"", "3", "  12", "0", "17", " 2 ", "1", ""};
const std::vector<const char*> itemNumbers = scrambled(someItemNumbers);

void renderF(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int d = static_cast<int>(state.range(1));
    zelk::TextBuffer out(64);
    std::size_t i = 0;
    for (auto _ : state) {
        out.clear();
        zelk::renderF(out, values[i++ % runLength], w, d);
        benchmark::DoNotOptimize(out.view().data());
    }
}
BENCHMARK(renderF)->ArgNames({"w", "d"})->Args({16, 8})->Args({15, 6})->Args({20, 10})->Args({10, 4});

void snprintfF16_8(benchmark::State& state) {
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%16.8f", static_cast<double>(values[i++ % runLength]));
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(snprintfF16_8);

void readF15(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(zelk::readF15(lines[i++ % runLength]));
}
BENCHMARK(readF15);

void readI5(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(zelk::readI(itemNumbers[i++ % runLength], 5));
}
BENCHMARK(readI5);

void strtodReference(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::strtod(lines[i++ % runLength], nullptr));
}
BENCHMARK(strtodReference)->Name("strtod");

// Samples through the whole dialogue, answers from memory, screens and blocks dropped.
class Discard : public zelk::ByteSink {
public:
    void write(std::string_view bytes) override { benchmark::DoNotOptimize(bytes.data()); }
};

class DiscardBlocks : public zelk::BlockFile {
public:
    void append(std::string_view block) override { benchmark::DoNotOptimize(block.data()); }
    bool failed() const override { return false; }
};

void dialogue(benchmark::State& state) {
    const auto samples = static_cast<int>(state.range(0));
    std::string answers;
    zelk::bench::AnswerWriter writer;
    zelk::bench::AnswerWriter::start(answers);
    for (int index = 0; index < samples; ++index) writer.sample(answers, index);
    zelk::bench::AnswerWriter::stop(answers);
    for (auto _ : state) {
        zelk::StringSource source(answers);
        Discard screens, errors;
        zelk::Console console(source, screens);
        auto open = [](const std::string&) -> std::unique_ptr<zelk::BlockFile> {
            return std::make_unique<DiscardBlocks>();
        };
        if (zelk::runZelk(console, errors, open) != zelk::Status::finished) state.SkipWithError("the run did not finish");
    }
    state.counters["per sample"] = benchmark::Counter(static_cast<double>(samples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(dialogue)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
