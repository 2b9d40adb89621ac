// The charge balance against the worked waters of the aqueous model's data sheet (computed
// with PHREEQC 3.8.9 and phreeqc.dat), its temperature functions against the sheet's check
// values, the waters without a result, and the fast solver against a slow, tight one.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <tuple>
#include <utility>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/generated_waters.hpp"
#include "support/balance_reference.hpp"
#include "zelkfile/charge_balance.hpp"

namespace zelk::workbench {
namespace {

using namespace aqueous;

// The reaction of every species conserves charge.
TEST(AqueousSpecies, EveryReactionBalancesCharge) {
    for (const Species& s : species) {
        int charge = s.hydrogen;
        for (const Term& t : s.masters) charge += t.coefficient * components[static_cast<std::size_t>(t.master)].charge;
        EXPECT_EQ(charge, s.charge) << s.name;
    }
}

int index(std::string_view name) {
    for (int i = 0; i < speciesCount; ++i)
        if (species[static_cast<std::size_t>(i)].name == name) return i;
    return -1;
}

// log K of the reactions in masters at 25, 60 and 100 °C, the data sheet's check values
// (four decimals).
TEST(AqueousSpecies, LogKAtTemperature) {
    const struct {
        const char* name;
        double at25, at60, at100;
    } cases[] = {
        {"OH-", -13.9948, -13.0153, -12.2383},     {"HCO3-", 10.3289, 10.1438, 10.1552},
        {"CO2", 16.6807, 16.4341, 16.5819},        {"HSO4-", 1.9878, 2.3597, 2.8553},
        {"H3SiO4-", -9.8314, -9.4047, -9.1003},    {"H2BO3-", -9.2400, -8.9917, -8.7650},
        {"NH3", -9.2442, -8.2879, -7.4244},        {"AlSO4+", 3.5000, 3.6763, 3.8374},
        {"CaHCO3+", 6.2717, 8.7538, 10.6845},      {"FeHCO3+", 12.3289, 12.1438, 12.1552},
        {"CaHSO4+", 3.0678, 3.4397, 3.9353},       {"Mg(SO4)2-2", 2.9357, 3.0755, 3.2872},
        {"(CO2)2", 31.5725, 31.6264, 32.1133},     {"(H2S)2", 12.6051, 12.2553, 12.2083},
    };
    for (const auto& c : cases) {
        const int i = index(c.name);
        ASSERT_GE(i, 0) << c.name;
        EXPECT_NEAR(logKInMasters(i, 298.15), c.at25, 6e-5) << c.name;
        EXPECT_NEAR(logKInMasters(i, 333.15), c.at60, 6e-5) << c.name;
        EXPECT_NEAR(logKInMasters(i, 373.15), c.at100, 6e-5) << c.name;
    }
}

// Water from 0 to 100 °C: the data sheet's check values. The fits are Antoine's (saturation
// pressure), Wagner and Pruss 2002 with a compressibility fit (density) and Bradley and
// Pitzer 1979 (dielectric constant).
TEST(AqueousSpecies, WaterAndDebyeHuckelConstants) {
    const struct {
        double celsius, saturation, density, epsilon, A, B;
    } cases[] = {
        {0, 0.005853, 999.8400, 87.8564, 0.490834, 0.324621},   {25, 0.031018, 997.0430, 78.3844, 0.510025, 0.328491},
        {50, 0.121655, 988.0291, 69.8766, 0.534579, 0.332671},  {75, 0.380533, 974.8372, 62.2651, 0.564521, 0.337255},
        {100, 0.999843, 958.3468, 55.4594, 0.600073, 0.342240},
    };
    for (const auto& c : cases) {
        const double kelvin = c.celsius + 273.15;
        EXPECT_NEAR(saturationPressure(kelvin), c.saturation, 1e-6) << c.celsius;
        EXPECT_NEAR(density(kelvin, 1), c.density, 1e-4) << c.celsius;
        EXPECT_NEAR(dielectricConstant(kelvin, 1), c.epsilon, 1e-4) << c.celsius;
        EXPECT_NEAR(debyeHuckel(kelvin).A, c.A, 1e-6) << c.celsius;
        EXPECT_NEAR(debyeHuckel(kelvin).B, c.B, 1e-6) << c.celsius;
    }
    // The worked water E2 at 86.5 °C.
    EXPECT_NEAR(debyeHuckel(359.65).A, 0.580156, 1e-6);
    EXPECT_NEAR(debyeHuckel(359.65).B, 0.339500, 1e-6);
}

// The eight worked waters: inputs in mg/kg of solution in the order of the components
// (CO2, H2S, NH3, B, SiO2, Na, K, Mg, Ca, F, Cl, SO4, Al, Fe), pH and its temperature; then
// PHREEQC's kg of water per kg of solution, balance, ionic strength, cation and anion sums,
// HCO3 and CO3 in mg/kg of solution.
struct Worked {
    const char* name;
    float ph, celsius;
    float mg[masterCount];
    double kgWater, balance, ionicStrength, cations, anions, hco3, co3;
};

const Worked worked[] = {
    {"E1", 7.12f, 11.8f, {212, 0, 0.04f, 0.021f, 17.6f, 17.4f, 2.64f, 11.9f, 65.8f, 0.18f, 19.7f, 28.4f, 0.006f, 0.043f},
     0.999624268, -1.069414, 0.007411981, 5.007693, 5.115957, 244.9791, 0.1406746},
    {"E2", 8.74f, 86.5f, {96.5f, 5.12f, 0.31f, 2.86f, 296, 341, 24.7f, 0.094f, 3.38f, 7.45f, 288, 118, 0.412f, 0.017f},
     0.998816064, 1.253489, 0.01643676, 15.39823, 15.01698, 122.9959, 7.464776},
    {"E3", 2.2f, 24.6f, {6.8f, 1.9f, 22.4f, 0.57f, 236, 31.2f, 16.8f, 38.6f, 138, 2.9f, 9.6f, 1980, 104, 156},
     0.997248870, -0.342657, 0.04374063, 25.80030, 25.97772, 0.0007949538, 9.870458e-12},
    {"E4", 10.02f, 19.4f, {41.5f, 0.64f, 0.035f, 0.38f, 512, 216, 1.93f, 0.0085f, 1.07f, 13.6f, 36.2f, 39.8f, 0.87f, 0.0042f},
     0.999134181, 2.749831, 0.009981235, 9.470683, 8.963767, 36.01722, 20.72367},
    {"E5", 6.35f, 62, {57.2f, 0.36f, 1.42f, 9.6f, 386, 9620, 1380, 10.4f, 1810, 0.94f, 19100, 31.5f, 0.052f, 1.18f},
     0.967591347, 0.432211, 0.6075885, 562.8570, 558.0125, 46.87953, 0.02576932},
    {"E6", 6.28f, 14.6f, {3420, 0.08f, 0.22f, 1.24f, 63.5f, 412, 33.9f, 92.4f, 318, 0.76f, 44.1f, 158, 0.018f, 2.46f},
     0.995453321, 1.335548, 0.05237187, 40.88181, 39.80421, 2187.396, 0.2662909},
    {"E7", 3.08f, 38.5f, {1.6f, 0.12f, 2.85f, 11.6f, 274, 548, 93.2f, 205, 431, 33.8f, 1380, 2570, 176, 254},
     0.994017992, 0.671476, 0.1007840, 68.04954, 67.14176, 0.001721156, 2.492689e-10},
    {"E8", 7.76f, 21.5f, {98.6f, 0, 0, 0, 0, 86.3f, 0, 5.12f, 22.6f, 0, 69.4f, 47.9f, 0, 0},
     0.999670070, 1.727548, 0.006344337, 5.225162, 5.047694, 130.7198, 0.4115342},
};

SampleRecord record(float ph, float celsius, const float (&mg)[masterCount]) {
    SampleRecord s;
    s.waterPh = ph;
    s.waterPhTemperature = celsius;
    for (int j = 0; j < masterCount; ++j) s.waterConc[components[static_cast<std::size_t>(j)].number] = mg[j];
    return s;
}

Water water(const SampleRecord& s) { return waterPhase(s); }

void expectRelative(double actual, double expected, double share, const std::string& what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * share) << what;
}

TEST(ChargeBalance, WorkedWatersAgreeWithTheReferenceProgram) {
    for (const Worked& w : worked) {
        const SampleRecord s = record(w.ph, w.celsius, w.mg);
        EXPECT_NEAR(kgWaterPerKgSolution(water(s)), w.kgWater, 1e-9) << w.name;
        const ChargeBalance b = chargeBalance(s);
        ASSERT_TRUE(b.chargeBalance) << w.name;
        EXPECT_NEAR(*b.chargeBalance, w.balance, 0.01) << w.name;
        expectRelative(*b.ionicStrength, w.ionicStrength, 0.001, std::string(w.name) + " ionic strength");
        expectRelative(*b.cations, w.cations, 0.001, std::string(w.name) + " cations");
        expectRelative(*b.anions, w.anions, 0.001, std::string(w.name) + " anions");
        expectRelative(*b.hco3, w.hco3, 0.005, std::string(w.name) + " HCO3");
        expectRelative(*b.co3, w.co3, 0.005, std::string(w.name) + " CO3");
        EXPECT_TRUE(b.notes.empty()) << w.name;
    }
}

// E2 species by species, and the activity coefficient of Ca+2 in every worked water.
TEST(ChargeBalance, WorkedWaterSpeciesAndActivityCoefficients) {
    const Worked& e2 = worked[1];
    Speciation s;
    ASSERT_EQ(speciate(water(record(e2.ph, e2.celsius, e2.mg)), s), Outcome::converged);
    EXPECT_NEAR(s.waterActivity, 0.999440799, 1e-8);
    EXPECT_NEAR(s.hydrogen, 2.057992e-09, 2.057992e-09 * 1e-4);
    const struct {
        const char* name;
        double molality;
    } formed[] = {{"OH-", 0.0002173525}, {"HCO3-", 0.002018084},  {"CO2", 7.363181e-06},    {"H3SiO4-", 0.001448661},
                  {"H2BO3-", 0.0001276698}, {"NaSO4-", 0.0001520777}, {"NaHCO3", 2.358987e-05}, {"CaSO4", 1.532127e-05},
                  {"Al(OH)4-", 1.528541e-05}};
    for (const auto& f : formed) expectRelative(s.molality[static_cast<std::size_t>(index(f.name))], f.molality, 1e-4, f.name);
    const struct {
        Master master;
        double molality;
    } free[] = {{Na, 0.01467192}, {Ca, 4.871568e-05}, {Cl, 0.008133060}, {SO4, 0.001051824}, {CO3, 0.0001245374},
                {H4SiO4, 0.003482266}, {HS, 0.0001488421}, {F, 0.0003900270}};
    for (const auto& f : free) expectRelative(s.free[f.master], f.molality, 1e-4, std::string(components[f.master].master));

    const double caGamma[] = {-0.149514, -0.241630, -0.310162, -0.171871, -0.641403, -0.325395, -0.418574, -0.141831};
    for (int k = 0; k < 8; ++k) {
        const Worked& w = worked[k];
        ASSERT_EQ(speciate(water(record(w.ph, w.celsius, w.mg)), s), Outcome::converged);
        const double root = std::sqrt(s.ionicStrength);
        EXPECT_NEAR(-4 * s.A * root / (1 + 5 * s.B * root) + 0.165 * s.ionicStrength, caGamma[k], 2e-6) << w.name;
    }
}

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float asterisks = std::numeric_limits<float>::max();

// Waters without a result, each with the note that says why; and the notes beside a result.
TEST(ChargeBalance, NotesAndWatersWithoutAResult) {
    const Worked& e8 = worked[7];
    const auto changed = [&](auto change) {
        SampleRecord s = record(e8.ph, e8.celsius, e8.mg);
        change(s);
        return s;
    };
    const struct {
        const char* what;
        SampleRecord sample;
        bool result;
        std::vector<std::string> notes;
    } cases[] = {
        {"no pH", changed([](SampleRecord& s) { s.waterPh = 0; }), false, {"no charge balance: no pH"}},
        {"lost pH", changed([](SampleRecord& s) { s.waterPh = asterisks; }), false, {"no charge balance: negative or lost pH"}},
        {"negative pH", changed([](SampleRecord& s) { s.waterPh = -1; }), false, {"no charge balance: negative or lost pH"}},
        {"no component", changed([](SampleRecord& s) { s.waterConc = {}; }), false, {"no charge balance: no component"}},
        {"only gases in water", changed([](SampleRecord& s) { s.waterConc = {}; s.waterConc[4] = 3; }), false,
         {"no charge balance: no component"}},
        {"negative Cl", changed([](SampleRecord& s) { s.waterConc[15] = -69.4f; }), false,
         {"no charge balance: negative or lost Cl"}},
        {"Cl as asterisks", changed([](SampleRecord& s) { s.waterConc[15] = asterisks; }), false,
         {"no charge balance: negative or lost Cl"}},
        {"SiO2 not a number", changed([](SampleRecord& s) { s.waterConc[9] = nan; }), false,
         {"no charge balance: negative or lost SiO2"}},
        {"infinite Fe", changed([](SampleRecord& s) { s.waterConc[18] = inf; }), false,
         {"no charge balance: negative or lost Fe"}},
        {"pH at 300.5 °C", changed([](SampleRecord& s) { s.waterPhTemperature = 300.5f; }), false,
         {"no charge balance: pH temperature out of range"}},
        {"pH at -2 °C", changed([](SampleRecord& s) { s.waterPhTemperature = -2; }), false,
         {"no charge balance: pH temperature out of range"}},
        {"pH temperature lost", changed([](SampleRecord& s) { s.waterPhTemperature = asterisks; }), false,
         {"no charge balance: pH temperature out of range"}},
        {"solutes of 1 kg", changed([](SampleRecord& s) { s.waterConc[15] = 1e6f; }), false,
         {"no charge balance: solutes as heavy as the solution"}},
        {"pH 19, OH- heavier than the solution", changed([](SampleRecord& s) { s.waterPh = 19; }), false,
         {"no charge balance: solutes as heavy as the solution"}},
        // Far outside nature: some 15 mol/kg of OH- at this temperature.
        {"pH 12.46 at 266 °C", record(12.4557f, 266.347f, {26.4413f, 5.27352f, 0.00348277f, 0, 154.761f, 20.8244f, 0.103593f,
                                                          0, 0.00218904f, 0, 0.0310648f, 0.00109181f, 460.691f, 0.0953244f}),
         false, {"no charge balance: speciation did not converge"}},
        {"pH at 300 °C", changed([](SampleRecord& s) { s.waterPhTemperature = 300; }), true, {"charge balance off by 20.3 %"}},
        {"pH temperature not given", changed([](SampleRecord& s) { s.waterPhTemperature = 0; }), true,
         {"pH temperature not given: balance at 25 °C"}},
        // Na missing: the anions are in excess.
        {"no Na", changed([](SampleRecord& s) { s.waterConc[10] = 0; }), true, {"charge balance off by -54.8 %"}},
        {"Cl typed ten times", changed([](SampleRecord& s) { s.waterConc[15] = 694; s.waterPhTemperature = 0; }), true,
         {"charge balance off by -62.5 %", "pH temperature not given: balance at 25 °C"}},
        {"half the Cl", changed([](SampleRecord& s) { s.waterConc[15] = 34.7f; }), true, {"charge balance off by 12.5 %"}},
    };
    for (const auto& c : cases) {
        const ChargeBalance b = chargeBalance(c.sample);
        EXPECT_EQ(b.notes, c.notes) << c.what;
        for (const std::optional<double>* value : {&b.ionicStrength, &b.cations, &b.anions, &b.chargeBalance, &b.hco3, &b.co3})
            EXPECT_EQ(value->has_value(), c.result) << c.what;
    }
}

// Without CO2 analysed the balance stands, but there is no bicarbonate or carbonate to tell.
TEST(ChargeBalance, NoCarbonateWithoutCO2) {
    SampleRecord s = record(worked[7].ph, worked[7].celsius, worked[7].mg);
    s.waterConc[1] = 0;
    const ChargeBalance b = chargeBalance(s);
    ASSERT_TRUE(b.chargeBalance);
    EXPECT_FALSE(b.hco3);
    EXPECT_FALSE(b.co3);
}

// The 25 °C of a pH temperature not given is the balance at 25 °C.
TEST(ChargeBalance, PhTemperatureNotGivenIsTwentyFive) {
    const Worked& e1 = worked[0];
    const ChargeBalance at0 = chargeBalance(record(e1.ph, 0, e1.mg)), at25 = chargeBalance(record(e1.ph, 25, e1.mg));
    EXPECT_EQ(*at0.chargeBalance, *at25.chargeBalance);
    EXPECT_NE(*at25.chargeBalance, *chargeBalance(record(e1.ph, e1.celsius, e1.mg)).chargeBalance);
}

double silicaAnionShare(const Speciation& s) {
    const double anions = s.molality[static_cast<std::size_t>(index("H3SiO4-"))] +
                          s.molality[static_cast<std::size_t>(index("H2SiO4-2"))];
    return anions / (anions + s.free[H4SiO4]);
}

// The extremes: an acid-sulfate water at pH 2, where H+ is the largest cation and sulfate
// pairs with it; an alkaline water at pH 10.5 with 500 mg/kg SiO2, most of it an anion.
TEST(ChargeBalance, ExtremesOfPh) {
    const float acid[masterCount] = {3, 2, 10, 1, 250, 40, 12, 30, 120, 5, 20, 2400, 120, 180};
    const float alkaline[masterCount] = {30, 1, 0.05f, 0.5f, 500, 330, 6, 0.005f, 0.8f, 15, 60, 45, 1.2f, 0.005f};
    for (const auto& [ph, celsius, mg] : {std::tuple{2.0f, 22.0f, &acid}, std::tuple{10.5f, 35.0f, &alkaline}}) {
        const SampleRecord sample = record(ph, celsius, *mg);
        const ChargeBalance b = chargeBalance(sample);
        const std::optional<test::ReferenceSpeciation> r = test::referenceSpeciation(water(sample));
        ASSERT_TRUE(b.chargeBalance && r) << ph;
        EXPECT_NEAR(*b.chargeBalance, r->chargeBalance, 1e-4) << ph;
        expectRelative(*b.ionicStrength, r->ionicStrength, 1e-6, "ionic strength");
        Speciation s;
        ASSERT_EQ(speciate(water(sample), s), Outcome::converged);
        if (ph == 2.0f) {
            double largestOther = 0;
            for (int j = 0; j < masterCount; ++j)
                largestOther = std::max(largestOther, components[static_cast<std::size_t>(j)].charge * s.free[static_cast<std::size_t>(j)]);
            for (int i = 0; i < speciesCount; ++i)
                largestOther = std::max(largestOther, species[static_cast<std::size_t>(i)].charge * s.molality[static_cast<std::size_t>(i)]);
            EXPECT_GT(s.hydrogen, largestOther) << "H+ is the largest cation at pH 2";
            EXPECT_GT(s.molality[static_cast<std::size_t>(index("HSO4-"))], 0.1 * s.free[SO4]);
        } else {
            EXPECT_GT(silicaAnionShare(s), 0.5) << "most silica is an anion at pH 10.5";
        }
    }
}

// The fast solver against the slow one on thousands of generated waters of every kind. Under
// the sanitizers, fewer.
TEST(ChargeBalance, AgreesWithATightReferenceOnGeneratedWaters) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr int waters = 300;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    constexpr int waters = 300;
#else
    constexpr int waters = 2400;
#endif
#else
    constexpr int waters = 2400;
#endif
    test::WaterGenerator generator(20261209);
    double worstBalance = 0, worstRelative = 0;
    int compared = 0;
    for (int k = 0; k < waters; ++k) {
        const SampleRecord sample = generator.next();
        const ChargeBalance b = chargeBalance(sample);
        const std::optional<test::ReferenceSpeciation> r = test::referenceSpeciation(water(sample));
        ASSERT_TRUE(b.chargeBalance.has_value()) << "water " << k << ": " << (b.notes.empty() ? "" : b.notes.back());
        ASSERT_TRUE(r.has_value()) << "water " << k;
        ++compared;
        worstBalance = std::max(worstBalance, std::fabs(*b.chargeBalance - r->chargeBalance));
        for (const auto& [fast, slow] : {std::pair{*b.ionicStrength, r->ionicStrength}, std::pair{*b.cations, r->cations},
                                         std::pair{*b.anions, r->anions}})
            worstRelative = std::max(worstRelative, std::fabs(fast - slow) / slow);
        ASSERT_EQ(b.hco3.has_value(), sample.waterConc[1] > 0) << "water " << k;
        if (b.hco3) worstRelative = std::max(worstRelative, std::fabs(*b.hco3 - r->hco3) / r->hco3);
        EXPECT_NEAR(*b.chargeBalance, r->chargeBalance, 0.001) << "water " << k << " (" << test::name(static_cast<test::WaterKind>(k % test::waterKindCount)) << ")";
    }
    EXPECT_LT(worstRelative, 1e-5);
    RecordProperty("worst_balance_difference", std::to_string(worstBalance));
    std::printf("%d waters: largest difference %.3g percentage points of balance, %.3g relative of I, sums and HCO3\n",
                compared, worstBalance, worstRelative);
}

}  // namespace
}  // namespace zelk::workbench
