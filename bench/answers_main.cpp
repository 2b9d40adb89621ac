// zelk-answers: writes a benchmark answer file of N samples to standard output.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/answers.hpp"

namespace {

int usage() {
    std::fputs(
        "usage: zelk-answers SAMPLES [--water=1,2] [--steam=0,1,...,9] [--seed=N]\n"
        "  --water  water units the samples may use (default both)\n"
        "  --steam  steam forms the samples may use, 0 for no steam phase (default all ten)\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const long samples = std::strtol(argv[1], nullptr, 10);
    if (samples < 1) return usage();
    zelk::bench::AnswerMix mix;
    std::uint64_t seed = 20020401;
    for (int i = 2; i < argc; ++i) {
        const std::string_view option = argv[i];
        bool good = false;
        if (option.starts_with("--water="))
            good = zelk::bench::parseChoices(option.substr(8), mix.waterUnits.data(), 3) && !mix.waterUnits[0];
        else if (option.starts_with("--steam="))
            good = zelk::bench::parseChoices(option.substr(8), mix.steamForms.data(), 10);
        else if (option.starts_with("--seed="))
            good = (seed = std::strtoull(argv[i] + 7, nullptr, 10)) != 0;
        if (!good) return usage();
    }

    zelk::bench::AnswerWriter writer(mix, seed);
    std::string out;
    zelk::bench::AnswerWriter::start(out);
    for (long index = 0; index < samples; ++index) {
        writer.sample(out, static_cast<int>(index));
        if (out.size() > (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    zelk::bench::AnswerWriter::stop(out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
