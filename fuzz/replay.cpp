// Runs a fuzz target without libFuzzer, so that every build has a short fuzz pass: first over
// its seed inputs, then over inputs mutated from them until the time is up.
//   <target>_replay SEED_FOLDER [SECONDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fuzz/fuzz.hpp"

namespace {

void run(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

// Small edits of the kinds that matter to a line-by-line dialogue: bytes of numbers, blanks,
// commas and answers put in, taken out or changed, and whole lines repeated or dropped.
std::string mutate(std::string input, const std::vector<std::string>& seeds, std::mt19937& random) {
    static constexpr std::string_view alphabet = "0123456789 .,+-eEdDyYnx\n\n\n";
    auto pick = [&](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random() % n); };
    for (int edits = 1 + static_cast<int>(pick(4)); edits > 0; --edits) {
        const std::size_t at = pick(input.size() + 1);
        switch (pick(6)) {
            case 0: input.insert(at, 1, alphabet[pick(alphabet.size())]); break;
            case 1:
                if (at < input.size()) input[at] = alphabet[pick(alphabet.size())];
                break;
            case 2: input.erase(at, pick(8)); break;
            case 3:
                if (at < input.size()) input[at] = static_cast<char>(random());
                break;
            case 4: {
                const std::size_t end = input.find('\n', at);
                if (end != std::string::npos) input.insert(at, input.substr(at, end + 1 - at));
                break;
            }
            default: {
                const std::string& other = seeds[pick(seeds.size())];
                const std::size_t from = pick(other.size() + 1);
                input = input.substr(0, at) + other.substr(from, pick(400));
                break;
            }
        }
    }
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER [SECONDS]\n", argv[0]);
        return 2;
    }
    const double budget = argc > 2 ? std::atof(argv[2]) : 3.0;
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> seeds;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "no seed inputs in %s\n", argv[1]);
        return 2;
    }
    for (const std::string& seed : seeds) run(seed);
    run("");

    std::mt19937 random(20020401);
    const auto start = std::chrono::steady_clock::now();
    long runs = static_cast<long>(seeds.size()) + 1;
    std::string input;
    for (;; ++runs) {
        if (runs % 64 == 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > budget)
            break;
        // Mostly build on the last input, now and then start again from a seed.
        if (runs % 16 == 0 || input.size() > 1 << 16) input = seeds[random() % seeds.size()];
        input = mutate(std::move(input), seeds, random);
        run(input);
    }
    std::printf("%ld inputs, %zu seeds, no property failed\n", runs, seeds.size());
    return 0;
}
