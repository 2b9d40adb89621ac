// The geothermometers of the report, each as its author published it (log base 10,
// concentrations in mg/kg unless said, temperatures in °C).
#include "zelkfile/geothermometers.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "zelkfile/if97.hpp"
#include "zelkfile/text.hpp"

namespace zelk::workbench {

namespace {

constexpr double zeroCelsius = 273.15;  // K
constexpr double atmosphere = 1.01325;  // bar

constexpr int SiO2 = 9, Na = 10, K = 11, Mg = 12, Ca = 13, Cl = 15;

// A value the block really holds: a field of asterisks reads as the largest float, and
// the file may carry inf or nan; none of them is a measurement.
bool known(float value) { return std::isfinite(value) && std::fabs(value) < std::numeric_limits<float>::max(); }

std::optional<double> positive(float value) {
    if (known(value) && value > 0) return value;
    return std::nullopt;
}

// T = numerator / denominator - 273.15: the denominator is the inverse absolute temperature
// times the numerator, so at zero or below there is no temperature.
std::optional<double> inverseKelvin(double numerator, double denominator) {
    if (!(denominator > 0)) return std::nullopt;
    const double kelvin = numerator / denominator;
    if (!std::isfinite(kelvin)) return std::nullopt;
    return kelvin - zeroCelsius;
}

// Silica in mg/kg.
std::optional<double> quartzConductive(double s) {
    const double t = -42.198 + 0.28831 * s - 3.6686e-4 * s * s + 3.1665e-7 * s * s * s + 77.034 * std::log10(s);
    // At a few micrograms per kg the logarithm takes the polynomial below absolute zero.
    if (!(t > -zeroCelsius) || !std::isfinite(t)) return std::nullopt;
    return t;
}

// Fournier and Truesdell wrote log(Na/K) + beta log(sqrt(Ca)/Na) = 1647/T - 2.24 for
// mol/kg. The constants 2.06 and 2.47 of this form carry the change to mg/kg:
// log(22990 / sqrt(40080)) = 2.06 and 2.24 + log(39100 / 22990) = 2.47. So Na, K and Ca go in
// as mg/kg; in mol/kg as well they would count the change twice, some 250 °C too cold.
// Beta is 4/3, or 1/3 for a water above 100 °C or with relatively little Ca.
std::optional<double> naKCaTemperature(double na, double k, double ca) {
    const double naK = std::log10(na / k);
    const double calcium = std::log10(std::sqrt(ca) / na) + 2.06;
    if (calcium >= 0) {
        // A denominator at zero or below here leaves beta 1/3 none either (it is smaller).
        const std::optional<double> t = inverseKelvin(1647, naK + 4.0 / 3.0 * calcium + 2.47);
        if (t && *t <= 100) return t;
    }
    return inverseKelvin(1647, naK + calcium / 3 + 2.47);
}

// A silica temperature is one of liquid water: none below 0 °C or above the critical point.
std::optional<double> silicaBounds(std::optional<double> t) {
    if (t && *t >= 0 && *t <= 374) return t;
    return std::nullopt;
}

// The saturated phases at the sampling pressure (gauge + 1.01325 bar): none for a lost
// pressure or one off the saturation line.
std::optional<if97::Saturation> atSampling(float pressure) {
    if (!known(pressure)) return std::nullopt;
    return if97::saturation((pressure + atmosphere) / 10);
}

const if97::Saturation& atOneAtmosphere() {
    static const if97::Saturation s = *if97::saturation(atmosphere / 10);
    return s;
}

// The steam fraction of enthalpy h (above 0) where the phases are s, or 0 off the line.
double fraction(double h, const std::optional<if97::Saturation>& s) {
    if (!s || h <= s->liquidEnthalpy) return 0.0;
    if (h >= s->vapourEnthalpy) return 1.0;
    return (h - s->liquidEnthalpy) / (s->vapourEnthalpy - s->liquidEnthalpy);
}

// x of a sample, with s the phases at its sampling pressure.
std::optional<double> sampledFraction(float pressure, float enthalpy, const std::optional<if97::Saturation>& s) {
    if (!known(pressure) || !known(enthalpy)) return std::nullopt;
    return enthalpy > 0 ? fraction(enthalpy, s) : 0.0;
}

// The silica of the water separated at 1.01325 bar, for the maximum-steam-loss equation.
// With an enthalpy the discharge is separated in one step at 100 °C; without, the water
// separated at sampling is boiled on to 100 °C. At 0 bar-g both are the water as sampled.
std::optional<double> silicaAt100(double silica, float pressure, float enthalpy,
                                  const std::optional<if97::Saturation>& sampling) {
    if (!known(pressure)) return std::nullopt;
    const if97::Saturation& boiled = atOneAtmosphere();
    if (known(enthalpy) && enthalpy > 0) {
        const double at100 = fraction(enthalpy, boiled);
        if (at100 >= 1) return std::nullopt;
        return silica * (1 - fraction(enthalpy, sampling)) / (1 - at100);
    }
    // A lost enthalpy leaves the basis unknown unless the sample was taken at 100 °C.
    if (!known(enthalpy) && pressure > 0) return std::nullopt;
    if (!sampling) return std::nullopt;
    const double y = std::max(0.0, (sampling->liquidEnthalpy - boiled.liquidEnthalpy) /
                                       (boiled.vapourEnthalpy - boiled.liquidEnthalpy));
    if (y >= 1) return std::nullopt;
    return silica / (1 - y);
}

// The reservoir liquid by quartz: its temperature, °C, its enthalpy h' there, kJ/kg, and the
// steam it makes on boiling to the sampling pressure.
struct ReservoirLiquid {
    double temperature;
    double enthalpy;
    double steam;
};

// T = Q(SiO2 (1 - x(T))), Q the conductive quartz equation and x(T) the steam that liquid at T
// makes when it boils to the sampling pressure. f(T) = T - Q(...) rises with a slope of at
// least 1 (Q falls as x grows), so the root is unique and |f(T)| bounds the error of T. Below
// the boiling point x is 0 and Q(SiO2) is the root itself; above it, regula falsi with the
// Illinois step (bisection where that leaves the bracket) finds it in about six h'(T).
std::optional<ReservoirLiquid> reservoirLiquid(double silica, const std::optional<if97::Saturation>& sampling) {
    constexpr double highest = 370;  // °C, where h'(T) is defined with room
    const std::optional<double> unboiled = quartzConductive(silica);
    if (!sampling || !unboiled || *unboiled < 0) return std::nullopt;
    const double boiling = sampling->temperature - zeroCelsius;
    if (*unboiled <= boiling) {
        if (*unboiled > highest) return std::nullopt;
        return ReservoirLiquid{*unboiled, *if97::saturatedLiquidEnthalpy(*unboiled + zeroCelsius), 0};
    }
    const double latent = sampling->vapourEnthalpy - sampling->liquidEnthalpy;
    // The liquid at t; f is infinite where it is all steam or too little silica is left for a
    // temperature: as far above the root as can be.
    struct Point {
        double t, h, x, f;
    };
    const auto at = [&](double t) {
        Point p{t, *if97::saturatedLiquidEnthalpy(t + zeroCelsius), 0, 0};
        p.x = std::clamp((p.h - sampling->liquidEnthalpy) / latent, 0.0, 1.0);
        const std::optional<double> q = p.x < 1 ? quartzConductive(silica * (1 - p.x)) : std::nullopt;
        p.f = q ? t - *q : std::numeric_limits<double>::infinity();
        return p;
    };
    // The root lies below Q(SiO2), where x = 0 takes nothing away; 370 °C caps it. Above
    // 350 °C h'(T) needs a density solved from region 3, some hundred times the work of
    // region 1, so the bracket is tried there first.
    constexpr double region1Top = 350;  // °C
    Point low = at(std::max(boiling, 0.0));
    const double top = std::min(*unboiled, highest);
    if (!(low.t < top)) return std::nullopt;
    const double middle = std::min(top, region1Top);
    Point high = at(middle > low.t ? middle : top);
    if (high.f < 0 && high.t < top) {
        low = high;
        high = at(top);
    }
    if (low.f > 0 || high.f < 0) return std::nullopt;
    if (low.f == 0) return ReservoirLiquid{low.t, low.h, low.x};
    if (high.f == 0) return ReservoirLiquid{high.t, high.h, high.x};
    constexpr double tolerance = 1e-7;  // °C
    double fLow = low.f, fHigh = high.f;  // halved by the Illinois step
    Point p = low;
    for (int lastSide = 0, i = 0; i < 200; ++i) {
        double t = (low.t * fHigh - high.t * fLow) / (fHigh - fLow);
        if (!(t > low.t && t < high.t)) t = (low.t + high.t) / 2;
        p = at(t);
        if (std::fabs(p.f) <= tolerance || high.t - low.t <= tolerance) break;
        if (p.f < 0) {
            low = p;
            fLow = p.f;
            if (lastSide < 0) fHigh /= 2;
            lastSide = -1;
        } else {
            high = p;
            fHigh = p.f;
            if (lastSide > 0) fLow /= 2;
            lastSide = 1;
        }
    }
    return ReservoirLiquid{p.t, p.h, p.x};
}

// Fournier and Potter (1979): R = 100 Mg / (Mg + Ca + K) in equivalents. The correction to
// subtract from Na-K-Ca (0 where none applies), or none where R is 50 or more: such a water
// has not been near a hot reservoir. Calibrated on waters of R below 50 and Na-K-Ca above 70 °C.
std::optional<double> magnesiumCorrection(double naKCa, double mg, double ca, double k) {
    const double magnesium = mg / 12.1525;
    const double r = 100 * magnesium / (magnesium + ca / 20.04 + k / 39.098);
    if (naKCa < 70 || !(r >= 1.5)) return 0.0;
    if (r >= 50) return std::nullopt;
    const double l = std::log10(r), t = naKCa + zeroCelsius;
    const double dT = r < 5 ? -1.03 + 59.971 * l + 145.05 * l * l - 36711 * l * l / t - 1.67e7 * l / (t * t)
                            : 10.66 - 4.7415 * r + 325.87 * l * l - 1.032e5 * l * l / t - 1.968e7 * l * l / (t * t) +
                                  1.605e7 * l * l * l / (t * t);
    return std::max(dT, 0.0);
}

}  // namespace

// Fournier and Potter (1982) for quartz; Fournier (1977) for the rest.
const SilicaRange silicaRanges[7] = {
    {&Geothermometers::quartz, "quartz", 330},
    {&Geothermometers::quartzSteamLoss, "quartz_steam_loss", 250},
    {&Geothermometers::chalcedony, "chalcedony", 250},
    {&Geothermometers::alphaCristobalite, "alpha_cristobalite", 250},
    {&Geothermometers::betaCristobalite, "beta_cristobalite", 250},
    {&Geothermometers::amorphousSilica, "amorphous_silica", 250},
    {&Geothermometers::quartzLiquid, "quartz_liquid", 330},
};

bool aboveRange(const Geothermometers& g, Temperature value) {
    for (const SilicaRange& range : silicaRanges)
        if (range.value == value) return g.*value && *(g.*value) > range.limit;
    return false;
}

std::optional<double> calibrationLimit(std::string_view csvName) {
    for (const SilicaRange& range : silicaRanges)
        if (range.name == csvName) return range.limit;
    return std::nullopt;
}

std::optional<double> quartzTemperature(double silica) { return quartzConductive(silica); }

std::optional<double> steamFraction(float pressure, float enthalpy) {
    return sampledFraction(pressure, enthalpy, atSampling(pressure));
}

Geothermometers geothermometers(const SampleRecord& sample) {
    Geothermometers g;
    const WaterConc& water = sample.waterConc;
    const float pressure = sample.samplingPressure, enthalpy = sample.fluidEnthalpy;
    // Above 0 bar-g a sample is separated water, and only the enthalpy tells how much steam
    // went with it; at 0 bar-g (springs, weir boxes) x = 0 holds.
    const bool noEnthalpy = known(pressure) && pressure > 0 && known(enthalpy) && enthalpy <= 0;
    const std::optional<if97::Saturation> sampling = atSampling(pressure);
    if (!noEnthalpy) g.steamFraction = sampledFraction(pressure, enthalpy, sampling);

    std::optional<ReservoirLiquid> reservoir;
    if (const std::optional<double> sampled = positive(water[SiO2])) {
        if (const std::optional<double> s = silicaAt100(*sampled, pressure, enthalpy, sampling))
            g.quartzSteamLoss = silicaBounds(inverseKelvin(1522, 5.75 - std::log10(*s)));
        if (g.steamFraction && *g.steamFraction < 1) {
            const double s = *sampled * (1 - *g.steamFraction);
            const double logTotal = std::log10(s);
            g.quartz = silicaBounds(quartzConductive(s));
            g.chalcedony = silicaBounds(inverseKelvin(1032, 4.69 - logTotal));
            g.alphaCristobalite = silicaBounds(inverseKelvin(1000, 4.78 - logTotal));
            g.betaCristobalite = silicaBounds(inverseKelvin(781, 4.51 - logTotal));
            g.amorphousSilica = silicaBounds(inverseKelvin(731, 4.52 - logTotal));
        }
        reservoir = reservoirLiquid(*sampled, sampling);
    }
    if (reservoir) {
        g.quartzLiquid = reservoir->temperature;
        if (const std::optional<double> h = positive(enthalpy))
            g.excessEnthalpy = *h - reservoir->enthalpy;
        if (const std::optional<double> cl = positive(water[Cl])) g.reservoirChloride = *cl * (1 - reservoir->steam);
    }

    const std::optional<double> na = positive(water[Na]);
    const std::optional<double> k = positive(water[K]);
    const std::optional<double> mg = positive(water[Mg]);
    const std::optional<double> ca = positive(water[Ca]);
    if (na && k) {
        const double logNaK = std::log10(*na / *k);
        g.naKFournier = inverseKelvin(1217, 1.483 + logNaK);
        g.naKGiggenbach = inverseKelvin(1390, 1.750 + logNaK);
        g.naKTruesdell = inverseKelvin(856, 0.857 + logNaK);
    }
    if (k && mg) g.kMg = inverseKelvin(4410, 14.00 - std::log10(*k * *k / *mg));
    if (na && k && ca) g.naKCa = naKCaTemperature(*na, *k, *ca);
    if (na && k && mg) g.maturityIndex = 0.315 * std::log10(*k * *k / *mg) - std::log10(*k / *na);
    // No Mg (a zero) needs no correction; a lost one leaves it unknown.
    std::optional<double> correction;
    if (g.naKCa && known(water[Mg])) correction = magnesiumCorrection(*g.naKCa, mg.value_or(0), *ca, *k);
    if (correction) g.naKCaMg = *g.naKCa - *correction;

    if (g.maturityIndex && *g.maturityIndex < partialEquilibriumIndex)
        g.notes.emplace_back("immature water: Na/K and Na-K-Ca do not hold");
    if (g.excessEnthalpy && *g.excessEnthalpy > 50) g.notes.emplace_back("excess enthalpy");
    if (noEnthalpy) g.notes.emplace_back("no enthalpy: total discharge unknown");
    for (const SilicaRange& range : silicaRanges)
        if (aboveRange(g, range.value)) g.notes.push_back(concat({range.name, " above its range"}));
    if (correction && *correction >= 1) g.notes.push_back(concat({"Mg correction ", fixed(*correction, 0), " \xC2\xB0" "C"}));
    return g;
}

EquilibriumRatios fullEquilibrium(double celsius) {
    const double kelvin = celsius + zeroCelsius;
    return {1390 / kelvin - 1.750, 14.00 - 4410 / kelvin};
}

std::optional<double> measured(float value) { return positive(value); }

Maturity maturity(double maturityIndex) {
    if (maturityIndex >= fullEquilibriumIndex) return Maturity::fullEquilibrium;
    if (maturityIndex >= partialEquilibriumIndex) return Maturity::partialEquilibrium;
    return Maturity::immature;
}

std::string_view name(Maturity maturity) {
    switch (maturity) {
        case Maturity::fullEquilibrium: return "full equilibrium";
        case Maturity::partialEquilibrium: return "partial equilibrium";
        case Maturity::immature: return "immature water";
    }
    return "";
}

}  // namespace zelk::workbench
