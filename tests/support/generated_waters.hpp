// Geothermal water analyses drawn at random from a seed, of the kinds a lab sends: well
// discharges, hot springs, acid-sulfate, alkaline silica-rich, CO2-rich bicarbonate waters
// and brines, with now and then a component not analysed.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <string_view>

#include "record/sample.hpp"

namespace zelk::test {

enum class WaterKind { wellDischarge, spring, acidSulfate, alkaline, bicarbonate, brine };
inline constexpr int waterKindCount = 6;

inline std::string_view name(WaterKind kind) {
    constexpr std::string_view names[] = {"well discharge", "spring", "acid sulfate", "alkaline", "bicarbonate", "brine"};
    return names[static_cast<int>(kind)];
}

class WaterGenerator {
public:
    explicit WaterGenerator(std::uint64_t seed) : random_(seed) {}

    // The next water, of the kinds in turn.
    SampleRecord next() { return next(static_cast<WaterKind>(count_++ % waterKindCount)); }

    SampleRecord next(WaterKind kind) {
        SampleRecord s;
        WaterConc& c = s.waterConc;
        enum { CO2 = 1, H2S = 2, NH3 = 3, B = 8, SiO2 = 9, Na = 10, K = 11, Mg = 12, Ca = 13, F = 14, Cl = 15, SO4 = 16,
               Al = 17, Fe = 18 };
        switch (kind) {
        case WaterKind::wellDischarge:
            s.waterPh = uniform(6.5, 9.8);
            s.waterPhTemperature = uniform(10, 100);
            c[Cl] = logUniform(30, 5000), c[Na] = c[Cl] * uniform(0.4, 0.9), c[K] = c[Na] * uniform(0.05, 0.25);
            c[Ca] = logUniform(0.5, 80), c[Mg] = logUniform(0.001, 2), c[SiO2] = uniform(150, 950);
            c[CO2] = logUniform(5, 400), c[H2S] = logUniform(0.1, 60), c[B] = logUniform(0.2, 40);
            c[F] = logUniform(0.2, 12), c[SO4] = logUniform(5, 300), c[NH3] = logUniform(0.01, 3);
            c[Al] = logUniform(0.01, 2), c[Fe] = logUniform(0.001, 0.5);
            break;
        case WaterKind::spring:
            s.waterPh = uniform(5.8, 9.4);
            s.waterPhTemperature = uniform(5, 99);
            c[Cl] = logUniform(2, 800), c[Na] = logUniform(10, 600), c[K] = logUniform(0.5, 60);
            c[Ca] = logUniform(1, 150), c[Mg] = logUniform(0.01, 40), c[SiO2] = uniform(10, 400);
            c[CO2] = logUniform(20, 800), c[H2S] = logUniform(0.01, 10), c[B] = logUniform(0.01, 10);
            c[F] = logUniform(0.05, 15), c[SO4] = logUniform(5, 600), c[NH3] = logUniform(0.01, 2);
            c[Al] = logUniform(0.001, 1), c[Fe] = logUniform(0.001, 3);
            break;
        case WaterKind::acidSulfate:
            s.waterPh = uniform(1.5, 3.8);
            s.waterPhTemperature = uniform(10, 98);
            c[SO4] = logUniform(200, 8000), c[Al] = logUniform(2, 400), c[Fe] = logUniform(2, 800);
            c[Ca] = logUniform(5, 600), c[Mg] = logUniform(2, 300), c[Na] = logUniform(5, 800);
            c[K] = logUniform(1, 150), c[Cl] = logUniform(1, 3000), c[F] = logUniform(0.1, 60);
            c[SiO2] = uniform(30, 450), c[CO2] = logUniform(0.1, 20), c[H2S] = logUniform(0.01, 5);
            c[NH3] = logUniform(0.1, 40), c[B] = logUniform(0.05, 30);
            break;
        case WaterKind::alkaline:
            s.waterPh = uniform(9.3, 11);
            s.waterPhTemperature = uniform(10, 90);
            c[SiO2] = uniform(150, 700), c[Na] = logUniform(60, 600), c[K] = logUniform(0.5, 30);
            c[Ca] = logUniform(0.1, 5), c[Mg] = logUniform(0.001, 0.1), c[CO2] = logUniform(5, 200);
            c[F] = logUniform(1, 25), c[Cl] = logUniform(5, 500), c[SO4] = logUniform(5, 250);
            c[H2S] = logUniform(0.05, 5), c[B] = logUniform(0.05, 5), c[NH3] = logUniform(0.005, 0.5);
            c[Al] = logUniform(0.05, 3), c[Fe] = logUniform(0.001, 0.05);
            break;
        case WaterKind::bicarbonate:
            s.waterPh = uniform(5.3, 7.4);
            s.waterPhTemperature = uniform(2, 45);
            c[CO2] = logUniform(400, 6000), c[Ca] = logUniform(30, 700), c[Mg] = logUniform(10, 250);
            c[Na] = logUniform(20, 2000), c[K] = logUniform(2, 120), c[Fe] = logUniform(0.05, 15);
            c[SO4] = logUniform(5, 600), c[Cl] = logUniform(2, 600), c[SiO2] = uniform(10, 120);
            c[F] = logUniform(0.05, 3), c[B] = logUniform(0.05, 5), c[H2S] = logUniform(0.01, 2);
            c[NH3] = logUniform(0.01, 2), c[Al] = logUniform(0.001, 0.2);
            break;
        case WaterKind::brine:
            s.waterPh = uniform(4.5, 7.8);
            s.waterPhTemperature = uniform(15, 250);
            c[Cl] = logUniform(8000, 90000), c[Na] = c[Cl] * uniform(0.35, 0.6), c[K] = c[Na] * uniform(0.05, 0.3);
            c[Ca] = c[Cl] * uniform(0.01, 0.25), c[Mg] = logUniform(1, 2000), c[SiO2] = uniform(50, 700);
            c[CO2] = logUniform(10, 500), c[H2S] = logUniform(0.05, 20), c[B] = logUniform(1, 300);
            c[F] = logUniform(0.1, 5), c[SO4] = logUniform(5, 800), c[NH3] = logUniform(0.1, 100);
            c[Al] = logUniform(0.005, 2), c[Fe] = logUniform(0.05, 200);
            break;
        }
        // A partial analysis now and then: a few components not analysed.
        if (uniform(0, 1) < 0.25)
            for (const int number : {CO2, H2S, NH3, B, SiO2, K, Mg, Ca, F, SO4, Al, Fe})
                if (uniform(0, 1) < 0.2) c[number] = 0;
        return s;
    }

private:
    float uniform(double low, double high) { return static_cast<float>(std::uniform_real_distribution<double>(low, high)(random_)); }
    float logUniform(double low, double high) {
        return static_cast<float>(std::exp(std::uniform_real_distribution<double>(std::log(low), std::log(high))(random_)));
    }

    std::mt19937_64 random_;
    int count_ = 0;
};

}  // namespace zelk::test
