// Answer files for the batch benchmark: deterministic runs of samples as a lab would pipe
// them in, with realistic values, a few corrections per screen and the odd typing error.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk::bench {

// Which menu answers the samples may take: water units 1 and 2, steam forms 1 to 9, and
// 0 for the answer that gives no steam phase. Each sample picks among those allowed.
struct AnswerMix {
    std::array<bool, 3> waterUnits{false, true, true};
    std::array<bool, 10> steamForms{true, true, true, true, true, true, true, true, true, true};
};

// Reads a comma-separated list of numbers (such as "0,1,5") into the flags; false if the
// list is empty or names a number out of range.
bool parseChoices(std::string_view list, bool* flags, int count);

// Writes the answers of a run, sample after sample. The same seed gives the same bytes.
class AnswerWriter {
public:
    explicit AnswerWriter(AnswerMix mix = {}, std::uint64_t seed = 20020401);

    // The answer to the output file prompt: RETURN, for the default name.
    static void start(std::string& out);
    // Appends one sample's answers; every sample but the first begins with a yes.
    void sample(std::string& out, int index);
    // The answer that ends the run at the another-sample question.
    static void stop(std::string& out);

    // The sample number that sample(out, index) types, and what is known of the samples
    // written so far, counted from the start of the run: for tests that cut a run short.
    static std::string sampleNumber(int index);
    struct Progress {
        int steamForm = 0;   // of the last sample; 0 for no steam phase
        long questions = 0;  // correction questions asked up to then
        long steamMenus = 0; // showings of the steam-data form menu up to then
    };
    const Progress& progress() const { return progress_; }

    struct Value;
    struct Item;
    struct Screen;

private:
    void screen(std::string& out, const Screen& shape);
    void steamPhase(std::string& out, int form);
    void answer(std::string& out, const Item& item);
    void number(std::string& out, const Value& value);
    int pick(const bool* allowed, int count);
    std::uint64_t next();
    double uniform();
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(double p) { return uniform() < p; }

    AnswerMix mix_;
    std::uint64_t state_;
    int index_ = 0;
    Progress progress_;
};

}  // namespace zelk::bench
