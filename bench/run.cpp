// zelk-bench: batch throughput of zelk against its I/O floor. For each sample count it
// writes an answer file, records a run of zelk under strace to learn its reads and writes,
// then times zelk and the floor replaying those calls, A B A B, and prints the table.
//
// usage: zelk-bench --zelk PATH --floor PATH [--samples 2000,20000] [--pairs 5]
//                   [--water=1,2] [--steam=0,...,9] [--keep]
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "bench/answers.hpp"
#include "bench/script.hpp"
#include "support/launch.hpp"

namespace {

using zelk::bench::Step;

struct Options {
    std::string zelk;
    std::string floor;
    std::vector<long> samples{2000, 20000};
    int pairs = 5;
    zelk::bench::AnswerMix mix;
    bool keep = false;
};

struct Measure {
    int status = -1;
    double user = 0;  // seconds
    double system = 0;
    double wall = 0;
    long peakKiB = 0;
    double cpu() const { return user + system; }
};

// What the recorded run did, counted from its trace.
struct Calls {
    int status = -1;  // of the recorded run
    long reads = 0;
    long consoleWrites = 0;
    long fileWrites = 0;
    long errorWrites = 0;
    long long bytesRead = 0;
    long long consoleBytes = 0;
    long long fileBytes = 0;
};

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "zelk-bench: %s\n", what.c_str());
    std::exit(2);
}

// Runs argv in folder with standard input from a file and standard output to /dev/null.
Measure run(const std::vector<std::string>& argv, const std::string& folder, const std::string& input) {
    const auto started = std::chrono::steady_clock::now();
    std::optional<zelk::test::Ended> ended;
    try {
        zelk::test::Process program(
            {.argv = argv, .folder = folder, .input = input, .output = "/dev/null", .errors = folder + "/stderr.txt"});
        ended = program.finish();
    } catch (const std::exception& failure) {
        fail(failure.what());
    }
    Measure m;
    m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    m.status = ended->status;
    const struct rusage& usage = ended->usage;
    m.user = static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) * 1e-6;
    m.system = static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) * 1e-6;
    m.peakKiB = usage.ru_maxrss;
    return m;
}

long number(std::string_view text) {
    long value = 0;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    return parsed.ec == std::errc{} ? value : -1;
}

// One read or write of a trace.
struct Call {
    bool isRead = false;
    long fd = -1;
    long asked = 0;
    long result = 0;
};

// One line of strace output after its pid, for example `read(0, ""..., 65536) = 65536`.
std::optional<Call> parseCall(std::string_view line) {
    const std::size_t open = line.find('(');
    if (open == std::string_view::npos) return std::nullopt;
    std::string_view name = line.substr(0, open);
    if (const std::size_t blank = name.rfind(' '); blank != std::string_view::npos) name = name.substr(blank + 1);
    if (name != "read" && name != "write") return std::nullopt;
    const std::size_t close = line.rfind(')');
    const std::size_t equals = line.rfind(" = ");
    const std::size_t lastComma = line.rfind(", ", close);
    if (close == std::string_view::npos || equals == std::string_view::npos || lastComma == std::string_view::npos)
        return std::nullopt;
    Call call;
    call.isRead = name == "read";
    call.fd = number(line.substr(open + 1, line.find(',', open) - open - 1));
    call.asked = number(line.substr(lastComma + 2, close - lastComma - 2));
    call.result = number(line.substr(equals + 3));
    if (call.fd < 0 || call.result < 0) return std::nullopt;
    return call;
}

// The step the floor replays for a call, counted in calls. The program reads standard input
// (its reads of other descriptors are the loader's) and writes the console, standard error
// and the output file.
std::optional<Step> stepOf(const Call& call, Calls& calls) {
    const auto bytes = static_cast<std::uint32_t>(call.result);
    if (call.isRead) {
        if (call.fd != 0) return std::nullopt;
        ++calls.reads;
        calls.bytesRead += call.result;
        return Step{zelk::bench::input, static_cast<std::uint32_t>(call.asked)};
    }
    switch (call.fd) {
        case 1:
            ++calls.consoleWrites;
            calls.consoleBytes += call.result;
            return Step{zelk::bench::output, bytes};
        case 2: ++calls.errorWrites; return Step{zelk::bench::errors, bytes};
        default:
            ++calls.fileWrites;
            calls.fileBytes += call.result;
            return Step{zelk::bench::file, bytes};
    }
}

void clearOutput(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove(folder + "/kavix.in", ignored);
}

// Records zelk's calls on the answers and writes the floor's script; returns what the run
// did.
Calls record(const Options& options, const std::string& folder, const std::string& answers,
             const std::string& script) {
    const std::string trace = folder + "/trace.txt";
    clearOutput(folder);
    Calls calls;
    calls.status = run({"strace", "-qq", "-s", "0", "-o", trace, "-e", "trace=read,write", options.zelk}, folder,
                       answers)
                       .status;
    if (calls.status == 127) fail("cannot run strace (is it installed?)");
    std::ifstream in(trace);
    if (!in) fail("no trace in " + trace);
    // Step by step into the script, to keep the runner small (see bench()).
    std::ofstream out(script, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (const std::optional<Call> call = parseCall(line))
            if (const std::optional<Step> step = stepOf(*call, calls))
                out.write(reinterpret_cast<const char*>(&*step), sizeof *step);
    }
    if (!out) fail("cannot write " + script);
    in.close();
    std::filesystem::remove(trace);
    return calls;
}

long long countLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chunk(1 << 16);
    long long lines = 0;
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        lines += std::count(chunk.data(), chunk.data() + in.gcount(), '\n');
    return lines;
}

std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printRun(long samples, int pair, const char* what, const Measure& m) {
    std::printf("%8ld %5d  %-6s %8.3f %8.3f %8.3f %8.3f %10.2f %9ld\n", samples, pair, what, m.cpu(), m.user,
                m.system, m.wall, m.cpu() / static_cast<double>(samples) * 1e6, m.peakKiB);
}

void bench(const Options& options, long samples) {
    std::string folder = (std::filesystem::temp_directory_path() / "zelk-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) fail(std::string("mkdtemp: ") + std::strerror(errno));
    const std::string answers = folder + "/answers.txt";
    const std::string script = folder + "/floor.script";
    {
        // Written a piece at a time: the runner stays small, since a forked child starts
        // its peak resident memory from the runner's.
        zelk::bench::AnswerWriter writer(options.mix);
        std::ofstream out(answers, std::ios::binary);
        std::string text;
        zelk::bench::AnswerWriter::start(text);
        for (long index = 0; index < samples; ++index) {
            writer.sample(text, static_cast<int>(index));
            out << text;
            text.clear();
        }
        zelk::bench::AnswerWriter::stop(text);
        out << text;
        if (!out) fail("cannot write " + answers);
    }

    const Calls calls = record(options, folder, answers, script);
    const long long blocks = countLines(folder + "/kavix.in") / 34;
    if (calls.status != 0 || blocks != samples)
        std::printf("warning: the answers are out of step with the dialogue: the run ended with status %d after "
                    "%lld of %ld samples (%s)\n",
                    calls.status, blocks, samples, firstLine(folder + "/stderr.txt").c_str());

    std::vector<double> program, floor, ratios;
    long programPeak = 0, floorPeak = 0;
    for (int pair = 1; pair <= options.pairs; ++pair) {
        clearOutput(folder);
        const Measure a = run({options.zelk}, folder, answers);
        clearOutput(folder);
        const Measure b = run({options.floor, script}, folder, answers);
        if (b.status != 0) fail("the floor failed: " + firstLine(folder + "/stderr.txt"));
        printRun(samples, pair, "zelk", a);
        printRun(samples, pair, "floor", b);
        program.push_back(a.cpu());
        floor.push_back(b.cpu());
        ratios.push_back(a.cpu() / b.cpu());
        programPeak = std::max(programPeak, a.peakKiB);
        floorPeak = std::max(floorPeak, b.peakKiB);
    }

    const auto n = static_cast<double>(samples);
    const double lowest = *std::min_element(ratios.begin(), ratios.end());
    const double highest = *std::max_element(ratios.begin(), ratios.end());
    std::printf("%ld samples: per sample %.2f console writes, %.2f file writes, %.4f input reads\n", samples,
                static_cast<double>(calls.consoleWrites) / n, static_cast<double>(calls.fileWrites) / n,
                static_cast<double>(calls.reads) / n);
    std::printf("%ld samples: per sample %.0f bytes to the console, %.0f to the file; %.1f MB in all; "
                "%ld writes to standard error\n",
                samples, static_cast<double>(calls.consoleBytes) / n, static_cast<double>(calls.fileBytes) / n,
                static_cast<double>(calls.consoleBytes + calls.fileBytes) / 1e6, calls.errorWrites);
    std::printf("%ld samples: median CPU zelk %.3f s (%.2f us/sample), floor %.3f s (%.2f us/sample); "
                "peak RSS zelk %.2f MiB, floor %.2f MiB\n",
                samples, median(program), median(program) / n * 1e6, median(floor), median(floor) / n * 1e6,
                static_cast<double>(programPeak) / 1024, static_cast<double>(floorPeak) / 1024);
    std::printf("%ld samples: ratio zelk/floor median %.3f over %d pairs (lowest %.3f, highest %.3f)\n\n", samples,
                median(ratios), options.pairs, lowest, highest);

    if (options.keep)
        std::printf("kept %s\n\n", folder.c_str());
    else
        std::filesystem::remove_all(folder);
}

std::vector<long> parseCounts(std::string_view list) {
    std::vector<long> counts;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const long n = number(list.substr(0, comma));
        if (n < 1) return {};
        counts.push_back(n);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return counts;
}

[[noreturn]] void usage() {
    std::fputs(
        "usage: zelk-bench --zelk PATH --floor PATH [--samples 2000,20000] [--pairs 5]\n"
        "                  [--water=1,2] [--steam=0,...,9] [--keep]\n",
        stderr);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--zelk" && hasValue)
            options.zelk = argv[++i];
        else if (arg == "--floor" && hasValue)
            options.floor = argv[++i];
        else if (arg == "--samples" && hasValue)
            options.samples = parseCounts(argv[++i]);
        else if (arg == "--pairs" && hasValue)
            options.pairs = static_cast<int>(number(argv[++i]));
        else if (arg.starts_with("--water=")) {
            if (!zelk::bench::parseChoices(arg.substr(8), options.mix.waterUnits.data(), 3)) usage();
        } else if (arg.starts_with("--steam=")) {
            if (!zelk::bench::parseChoices(arg.substr(8), options.mix.steamForms.data(), 10)) usage();
        } else if (arg == "--keep")
            options.keep = true;
        else
            usage();
    }
    if (options.zelk.empty() || options.floor.empty() || options.samples.empty() || options.pairs < 1) usage();
    options.zelk = std::filesystem::absolute(options.zelk).string();
    options.floor = std::filesystem::absolute(options.floor).string();

    char load[64] = "?";
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(load, sizeof load, f)) std::strcpy(load, "?");
        std::fclose(f);
        load[std::strcspn(load, "\n")] = '\0';
    }
    std::printf("zelk against its I/O floor; CPU is user + system time of the process; load average %s\n", load);
    std::printf("%8s %5s  %-6s %8s %8s %8s %8s %10s %9s\n", "samples", "pair", "run", "cpu s", "user s", "sys s",
                "wall s", "us/sample", "peak KiB");
    for (long samples : options.samples) bench(options, samples);
    return 0;
}
