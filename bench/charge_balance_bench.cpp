// The charge balance's cost: generated waters of every kind, each speciated once, with the
// CPU time per water, the Newton iterations it took, and the peak resident memory.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "support/generated_waters.hpp"
#include "zelkfile/charge_balance.hpp"

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zelk;
    const long waters = argc > 1 ? std::atol(argv[1]) : 100000;
    const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1;
    test::WaterGenerator generator(seed);
    // Waters are drawn a thousand at a time so that drawing them stays out of the timing.
    std::vector<SampleRecord> batch(1000);
    double seconds = 0;
    long results = 0;
    std::map<std::string, long> failures;
    std::map<int, long> iterations;
    double checksum = 0;
    for (long done = 0; done < waters;) {
        const long n = std::min<long>(static_cast<long>(batch.size()), waters - done);
        for (long k = 0; k < n; ++k) batch[static_cast<std::size_t>(k)] = generator.next();
        const double start = cpuSeconds();
        for (long k = 0; k < n; ++k) {
            const workbench::ChargeBalance b = workbench::chargeBalance(batch[static_cast<std::size_t>(k)]);
            if (b.chargeBalance) {
                ++results;
                checksum += *b.chargeBalance;
            } else {
                ++failures[b.notes.back()];
            }
        }
        seconds += cpuSeconds() - start;
        // Iterations, outside the timing.
        for (long k = 0; k < n; ++k) {
            const SampleRecord& s = batch[static_cast<std::size_t>(k)];
            workbench::aqueous::Speciation sp;
            workbench::aqueous::speciate(workbench::aqueous::waterPhase(s), sp);
            ++iterations[sp.iterations];
        }
        done += n;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld waters, %ld balances: %.3f s CPU in the balance, %.2f us a water; peak RSS %ld KiB (checksum %.6g)\n",
                waters, results, seconds, 1e6 * seconds / static_cast<double>(waters), usage.ru_maxrss, checksum);
    long total = 0, counted = 0;
    for (const auto& [count, times] : iterations) total += count * times, counted += times;
    std::printf("Newton iterations, %.2f a water on average (count:waters):", static_cast<double>(total) / static_cast<double>(counted));
    for (const auto& [count, times] : iterations) std::printf(" %d:%ld", count, times);
    std::printf("\n");
    for (const auto& [note, times] : failures) std::printf("%ld: %s\n", times, note.c_str());
    return 0;
}
