// The answer generator: every screen as the items it asks and the values a chemist would type.
#include "bench/answers.hpp"

#include <cmath>
#include <cstdio>
#include <span>

namespace zelk::bench {

// A typed number: between low and high (spread evenly over the decades when they lie far
// apart), with so many significant digits; now and then nothing, which reads as 0.
struct AnswerWriter::Value {
    double low = 0;
    double high = 0;
    int digits = 4;
    double blank = 0;
};

struct AnswerWriter::Item {
    enum Kind { Number, SampleNumber, Location };
    Kind kind = Number;
    Value value;
};

// A screen's items by item number; the first pass asks them in `order` (all of them, from
// the first, when it is empty).
struct AnswerWriter::Screen {
    std::span<const Item> items;
    std::span<const int> order;
};

namespace {

using Item = AnswerWriter::Item;
using Screen = AnswerWriter::Screen;

constexpr Item num(double low, double high, int digits = 4, double blank = 0) {
    return {Item::Number, {low, high, digits, blank}};
}

constexpr Item askgen[] = {
    {Item::SampleNumber, {}}, {Item::Location, {}}, num(20, 300, 4), num(0.5, 40, 3), num(400, 2800, 4),
    num(0.5, 120, 3),
};

// Water phase: CO2, H2S, NH3, B, SiO2, Na, K, Mg, Ca, F, Cl, SO4, Al, Fe, then total solids,
// pH and pH temperature.
constexpr Item askwa1[] = {
    num(5, 800), num(0.5, 200), num(0.01, 5, 3), num(0.1, 30, 3), num(100, 1000), num(50, 12000),
    num(5, 2000), num(0.001, 50, 3), num(0.1, 1500), num(0.05, 8, 3), num(10, 20000), num(5, 500),
    num(0.01, 3, 3), num(0.005, 2, 3), num(200, 40000, 4), num(5, 10, 3), num(15, 30, 3),
};

// The same in m-mole/l, with the density as item 18, asked first (RETURN is 1.000 kg/l).
constexpr Item askwa2[] = {
    num(0.1, 18), num(0.015, 6), num(0.0006, 0.3, 3), num(0.01, 3, 3), num(1.5, 17), num(2, 520),
    num(0.1, 51), num(0.00004, 2, 3), num(0.0025, 37), num(0.0026, 0.42, 3), num(0.3, 560), num(0.05, 5.2),
    num(0.0004, 0.11, 3), num(0.0001, 0.036, 3), num(200, 40000, 4), num(5, 10, 3), num(15, 30, 3),
    num(0.9, 1.0, 4, 0.5),
};
constexpr int askwa2Order[] = {18, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};

// Total steam, components CO2, H2S, NH3, H2, O2, CH4, N2 in the unit of each form, and H2O
// (often left out) for the two percentage forms.
constexpr Item askst1[] = {
    num(50, 30000), num(5, 3000), num(0.1, 100, 3), num(0.01, 50, 3), num(0.01, 10, 2, 0.4), num(0.01, 100, 3),
    num(1, 500),
};
constexpr Item askst2[] = {
    num(1.1, 680), num(0.15, 88), num(0.006, 6, 3), num(0.005, 25, 3), num(0.0003, 0.3, 2, 0.4),
    num(0.0006, 6, 3), num(0.036, 18),
};
constexpr Item askst3[] = {
    num(0.02, 12), num(0.0027, 1.6), num(0.0001, 0.11, 3), num(0.00009, 0.45, 3), num(0.000005, 0.0054, 2, 0.4),
    num(0.00001, 0.11, 3), num(0.0006, 0.32),
};
constexpr Item askst4[] = {
    num(0.002, 1.2), num(0.0003, 0.16), num(0.00001, 0.011, 3), num(0.00001, 0.045, 3),
    num(0.000001, 0.0005, 2, 0.4), num(0.000001, 0.011, 3), num(0.00006, 0.032), num(98, 99.99, 4, 0.5),
};
constexpr Item askst5[] = {
    num(0.005, 3), num(0.0005, 0.3), num(0.00001, 0.01, 3), num(0.000001, 0.005, 3),
    num(0.000001, 0.001, 2, 0.4), num(0.000001, 0.01, 3), num(0.0001, 0.05), num(97, 99.99, 4, 0.5),
};

// Dry gas in volume-%, litres of gas per kg of condensate and the gas temperature; then the
// condensate: pH, pH temperature, CO2, H2S, NH3 and Na in mg/kg or in m-mole/l.
constexpr Item askgs1[] = {
    num(50, 98), num(0.5, 30), num(0.01, 2, 3, 0.3), num(0.1, 20), num(0.01, 2, 2, 0.4), num(0.01, 5, 3),
    num(0.5, 20), num(0.1, 50), num(10, 30, 3),
};
constexpr Item askcd1[] = {
    num(3.5, 6.5, 3), num(15, 25, 3), num(10, 3000), num(1, 300), num(0.1, 50, 3), num(0.01, 5, 2, 0.3),
};
constexpr Item askcd2[] = {
    num(3.5, 6.5, 3), num(15, 25, 3), num(0.23, 68), num(0.03, 8.8), num(0.006, 2.9, 3), num(0.0004, 0.22, 2, 0.3),
};

// Residual gas: CO2, H2S and NH3 in total steam (mg/kg or m-mole/kg), H2, O2, CH4 and N2 in
// volume-% of the residual gas, litres of gas per kg and the gas temperature.
constexpr Item askgs2[] = {
    num(50, 30000), num(5, 3000), num(0.1, 100, 3), num(1, 60), num(0.01, 5, 2, 0.4), num(0.5, 30), num(10, 90),
    num(0.001, 5, 3), num(10, 30, 3),
};
constexpr Item askgs3[] = {
    num(1.1, 680), num(0.15, 88), num(0.006, 6, 3), num(1, 60), num(0.01, 5, 2, 0.4), num(0.5, 30), num(10, 90),
    num(0.001, 5, 3), num(10, 30, 3),
};

constexpr std::string_view locations[] = {
    "Production well PW-3, wellhead",
    "Well W-12 two-phase line at the separator station, east side",
    "Hot spring 7, north vent",
    "Separator B weir box",
    "Exploration well EX-1 after 30 days of discharge",
    "Fumarole F-4 on the upper slope",
    "Reinjection line at the pump house",
    "Mud pool by the old road",
};

// Typed mistakes that every number field rejects: a stray letter, a second point, an
// exponent without digits.
constexpr std::string_view typos[] = {"12a", "1..5", "7.3q", "e5", "0.5e", "4 x"};

void line(std::string& out, std::string_view text) {
    out.append(text);
    out.push_back('\n');
}

}  // namespace

bool parseChoices(std::string_view list, bool* flags, int count) {
    for (int i = 0; i < count; ++i) flags[i] = false;
    bool any = false;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view part = list.substr(0, comma);
        if (part.empty() || part.size() > 2) return false;
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + (c - '0');
        }
        if (value >= count) return false;
        flags[value] = any = true;
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return any;
}

AnswerWriter::AnswerWriter(AnswerMix mix, std::uint64_t seed) : mix_(mix), state_(seed) {}

void AnswerWriter::start(std::string& out) { line(out, ""); }

void AnswerWriter::stop(std::string& out) { line(out, "n"); }

std::string AnswerWriter::sampleNumber(int index) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%04d", 1 + index / 10000 % 99, index % 10000);
    return text;
}

std::uint64_t AnswerWriter::next() {
    // splitmix64: small, fast and the same everywhere.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double AnswerWriter::uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }

int AnswerWriter::pick(const bool* allowed, int count) {
    int choices = 0;
    for (int i = 0; i < count; ++i) choices += allowed[i] ? 1 : 0;
    int left = below(choices);
    for (int i = 0; i < count; ++i)
        if (allowed[i] && left-- == 0) return i;
    return 0;
}

void AnswerWriter::number(std::string& out, const Value& value) {
    if (chance(value.blank)) {
        line(out, chance(0.5) ? "" : "0");
        return;
    }
    const double v = value.high / value.low > 10
                         ? value.low * std::pow(value.high / value.low, uniform())
                         : value.low + (value.high - value.low) * uniform();
    char text[32];
    if (chance(0.05)) {
        std::snprintf(text, sizeof text, "%.*E", value.digits - 1, v);
    } else {
        const int decimals = std::max(0, value.digits - 1 - static_cast<int>(std::floor(std::log10(v))));
        std::snprintf(text, sizeof text, chance(0.05) ? "  %.*f" : "%.*f", decimals, v);
    }
    line(out, text);
}

void AnswerWriter::answer(std::string& out, const Item& item) {
    switch (item.kind) {
        case Item::Number: number(out, item.value); break;
        case Item::SampleNumber: line(out, sampleNumber(index_)); break;
        case Item::Location: line(out, locations[below(std::size(locations))]); break;
    }
}

void AnswerWriter::screen(std::string& out, const Screen& shape) {
    const int count = static_cast<int>(shape.items.size());
    auto numberAt = [&](int position) { return shape.order.empty() ? position + 1 : shape.order[position]; };

    // First pass; a mistyped number starts it again from the first item.
    if (chance(0.04)) {
        const int stop = below(count);
        if (shape.items[numberAt(stop) - 1].kind == Item::Number) {
            for (int position = 0; position < stop; ++position) answer(out, shape.items[numberAt(position) - 1]);
            line(out, typos[below(std::size(typos))]);
        }
    }
    for (int position = 0; position < count; ++position) answer(out, shape.items[numberAt(position) - 1]);

    // Corrections: 0 to 3, now and then a mistyped item number or value; then RETURN.
    const double roll = uniform();
    const int corrections = roll < 0.35 ? 0 : roll < 0.7 ? 1 : roll < 0.9 ? 2 : 3;
    progress_.questions += 1 + corrections;  // each correction, mistyped or not, asks again
    char text[16];
    for (int k = 0; k < corrections; ++k) {
        if (chance(0.05)) {
            line(out, "x");
            continue;
        }
        const int number = 1 + below(count);
        std::snprintf(text, sizeof text, chance(0.1) ? "  %d  " : "%d", number);
        line(out, text);
        const Item& item = shape.items[number - 1];
        if (item.kind == Item::Number && chance(0.05))
            line(out, typos[below(std::size(typos))]);
        else
            answer(out, item);
    }
    line(out, chance(0.9) ? "" : "0");
}

void AnswerWriter::steamPhase(std::string& out, int form) {
    switch (form) {
        case 1: screen(out, {askst1, {}}); break;
        case 2: screen(out, {askst2, {}}); break;
        case 3: screen(out, {askst3, {}}); break;
        case 4: screen(out, {askst4, {}}); break;
        case 5: screen(out, {askst5, {}}); break;
        case 6:
            screen(out, {askgs1, {}});
            screen(out, {askcd1, {}});
            break;
        case 7:
            screen(out, {askgs1, {}});
            screen(out, {askcd2, {}});
            break;
        case 8: screen(out, {askgs2, {}}); break;
        case 9: screen(out, {askgs3, {}}); break;
        default: break;
    }
}

void AnswerWriter::sample(std::string& out, int index) {
    index_ = index;
    if (index > 0) line(out, chance(0.9) ? "y" : chance(0.5) ? "Y" : "yes");
    screen(out, {askgen, {}});

    // Menus: now and then a mistyped answer first, which shows the menu again.
    if (chance(0.02)) line(out, "x");
    const int unit = pick(mix_.waterUnits.data(), 3);
    if (unit == 2) {
        line(out, chance(0.9) ? "2" : "  2");
        screen(out, {askwa2, askwa2Order});
    } else {
        line(out, chance(0.5) ? "1" : "");
        screen(out, {askwa1, {}});
    }

    // A mistyped menu answer shows the menu again.
    const bool mistyped = chance(0.02);
    if (mistyped) line(out, "1.5");
    progress_.steamMenus += mistyped ? 2 : 1;
    const int form = pick(mix_.steamForms.data(), 10);
    progress_.steamForm = form;
    if (form == 0) {
        line(out, chance(0.8) ? "" : "0");
    } else {
        char text[8];
        std::snprintf(text, sizeof text, chance(0.9) ? "%d" : " %d", form);
        line(out, text);
    }
    steamPhase(out, form);
}

}  // namespace zelk::bench
