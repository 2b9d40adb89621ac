// Exhaustive check of field editing against the reference: every float bit pattern rendered
// in the output file's and the screens' F formats, and F15.0 reading of random typed numbers.
//   field_check render [first [count]]   bit patterns first .. first + count - 1 (default: all)
//   field_check read [count [seed]]      count random typed numbers (default: ten million)
#include <atomic>
#include <bit>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/field.hpp"
#include "support/reference.hpp"

namespace {

struct Format {
    int w, d;
};
constexpr Format formats[] = {{16, 8}, {15, 6}, {20, 10}, {10, 4}};
constexpr int formatCount = sizeof formats / sizeof formats[0];

std::mutex printing;
std::atomic<int> shown{0};

void showMismatch(const char* what, const std::string& got, const char* want) {
    if (shown++ >= 20) return;
    const std::lock_guard<std::mutex> lock(printing);
    std::printf("MISMATCH %s: program \"%s\", reference \"%s\"\n", what, got.c_str(), want);
    std::fflush(stdout);
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

unsigned threadCount() { return std::max(1u, std::thread::hardware_concurrency()); }

int render(std::uint64_t first, std::uint64_t count) {
    constexpr std::uint64_t chunk = 1 << 20;
    std::atomic<std::uint64_t> next{0};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> mismatches[formatCount] = {};
    const auto start = std::chrono::steady_clock::now();
    auto work = [&] {
        zelk::TextBuffer got(64);
        char want[400];
        for (;;) {
            const std::uint64_t from = next.fetch_add(chunk);
            if (from >= count) break;
            const std::uint64_t to = std::min(count, from + chunk);
            std::uint64_t bad[formatCount] = {};
            for (std::uint64_t i = from; i < to; ++i) {
                const auto bits = static_cast<std::uint32_t>(first + i);
                const float value = std::bit_cast<float>(bits);
                for (int f = 0; f < formatCount; ++f) {
                    got.clear();
                    zelk::renderF(got, value, formats[f].w, formats[f].d);
                    zelk::reference::renderF(want, sizeof want, value, formats[f].w, formats[f].d);
                    if (got.view() != want) {
                        ++bad[f];
                        char what[64];
                        std::snprintf(what, sizeof what, "0x%08" PRIx32 " F%d.%d", bits, formats[f].w, formats[f].d);
                        showMismatch(what, got.str(), want);
                    }
                }
            }
            for (int f = 0; f < formatCount; ++f) mismatches[f] += bad[f];
            const std::uint64_t total = done += to - from;
            if (total % (chunk * 64) == 0) {
                const std::lock_guard<std::mutex> lock(printing);
                std::fprintf(stderr, "%" PRIu64 " patterns, %.0f s\n", total, seconds(start));
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < threadCount(); ++t) threads.emplace_back(work);
    for (std::thread& t : threads) t.join();

    std::uint64_t all = 0;
    std::printf("render: bit patterns 0x%08" PRIx64 " to 0x%08" PRIx64 ", %" PRIu64 " patterns, %u threads, %.1f s\n",
                first, first + count - 1, count, threadCount(), seconds(start));
    for (int f = 0; f < formatCount; ++f) {
        std::printf("  F%d.%d: %" PRIu64 " mismatches\n", formats[f].w, formats[f].d, mismatches[f].load());
        all += mismatches[f];
    }
    return all == 0 ? 0 : 1;
}

// A typed number: mostly well-formed numbers of every shape, with blanks, commas, exponent
// forms and now and then a stray character, up to 20 characters.
std::string typedNumber(std::mt19937_64& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); };
    auto digits = [&](std::string& s, int n) {
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + pick(10));
    };
    std::string s;
    if (pick(4) == 0) s.append(static_cast<std::size_t>(pick(4)), ' ');
    if (pick(3) == 0) s += "+-"[pick(2)];
    digits(s, pick(10));
    if (pick(2) == 0) {
        s += '.';
        digits(s, pick(10));
    }
    if (pick(2) == 0) {
        if (pick(5) != 0) s += "EeDd"[pick(4)];
        if (pick(2) == 0) s += "+-"[pick(2)];
        digits(s, pick(4));
    }
    for (int stray = pick(6); stray == 0 && !s.empty(); stray = 1)
        s.insert(static_cast<std::size_t>(pick(static_cast<int>(s.size()) + 1)), 1, " ,.+-eDx"[pick(8)]);
    if (s.size() > 20) s.resize(20);
    return s;
}

int read(std::uint64_t count, std::uint64_t seed) {
    std::atomic<std::uint64_t> mismatches{0}, accepted{0};
    const auto start = std::chrono::steady_clock::now();
    const unsigned n = threadCount();
    auto work = [&](unsigned part) {
        std::mt19937_64 random(seed + part);
        std::uint64_t bad = 0, good = 0;
        for (std::uint64_t i = part; i < count; i += n) {
            const std::string line = typedNumber(random);
            const std::optional<float> got = zelk::readF15(line);
            const std::optional<float> want = zelk::reference::readF15(line);
            const bool same = got.has_value() == want.has_value() &&
                              (!got || std::bit_cast<std::uint32_t>(*got) == std::bit_cast<std::uint32_t>(*want));
            if (got) ++good;
            if (!same) {
                ++bad;
                char gotText[32] = "error", wantText[32] = "error";
                if (got) std::snprintf(gotText, sizeof gotText, "%.9g", static_cast<double>(*got));
                if (want) std::snprintf(wantText, sizeof wantText, "%.9g", static_cast<double>(*want));
                showMismatch(("\"" + line + "\"").c_str(), gotText, wantText);
            }
        }
        mismatches += bad;
        accepted += good;
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < n; ++t) threads.emplace_back(work, t);
    for (std::thread& t : threads) t.join();
    std::printf("read F15.0: %" PRIu64 " typed numbers (%" PRIu64 " accepted), %u threads, %.1f s: %" PRIu64
                " mismatches\n",
                count, accepted.load(), n, seconds(start), mismatches.load());
    return mismatches == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    auto number = [&](int i, std::uint64_t otherwise) {
        return argc > i ? std::strtoull(argv[i], nullptr, 0) : otherwise;
    };
    if (mode == "render") {
        const std::uint64_t first = number(2, 0);
        return render(first, number(3, (std::uint64_t{1} << 32) - first));
    }
    if (mode == "read") return read(number(2, 10'000'000), number(3, 1));
    std::fprintf(stderr, "usage: field_check render [first [count]] | read [count [seed]]\n");
    return 2;
}
