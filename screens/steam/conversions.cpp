// Total-steam conversions. Each formula is evaluated left to right in double from float
// values and float constants, and rounded once to float where its result is held.
#include "screens/steam/conversions.hpp"

#include "base/field.hpp"
#include "record/components.hpp"

namespace zelk {

namespace {

constexpr float threshold = 1.0E-20f;

double wide(float value) { return static_cast<double>(value); }

// The residual gases H2, O2, CH4 and N2 (components 4 to 7), added in this order from 0,
// each partial sum held as a float.
float residualSum(const TotalSteamEntry& amount) {
    float sum = 0;
    for (int i = 4; i <= 7; ++i) sum += amount[i];
    return sum;
}

// Each residual gas as volume-% of their sum; all 0 when the sum is too small to divide by
// (or is no number at all, after infinities of both signs were typed).
void residualShares(GasVolume& gasVolume, const TotalSteamEntry& amount, float sum) {
    if (!(sum >= threshold)) return;
    for (int i = 4; i <= 7; ++i) gasVolume[i] = toSingle(wide(amount[i]) * wide(100.0f) / wide(sum));
}

}  // namespace

ResidualGas fromMgPerKg(const TotalSteamEntry& e) {
    ResidualGas r;
    for (int i = 1; i <= 3; ++i) r.steamConc[i] = e[i];
    TotalSteamEntry n;  // moles per kg
    for (int i = 4; i <= 7; ++i) n[i] = toSingle(wide(e[i]) / wide(w(i)));
    const float sum = residualSum(n);
    r.gasPerCondensate = toSingle(wide(sum) * wide(0.082056f) * wide(298.15f));
    residualShares(r.gasVolume, n, sum);
    return r;
}

ResidualGas fromMmolePerKg(const TotalSteamEntry& e) {
    ResidualGas r;
    for (int i = 1; i <= 3; ++i) r.steamConc[i] = mmolToMg(i, e[i]);
    const float sum = residualSum(e);
    residualShares(r.gasVolume, e, sum);
    r.gasPerCondensate = toSingle(wide(sum) * wide(0.001f) * wide(0.082056f) * wide(298.15f));
    return r;
}

ResidualGas fromMmolePerMoleH2O(const TotalSteamEntry& e) {
    ResidualGas r;
    for (int i = 1; i <= 3; ++i) {
        const float t = toSingle(wide(e[i]) * wide(0.001f));  // moles per mole of H2O
        r.steamConc[i] = toSingle(wide(w(i)) * wide(t) * wide(55.51f));
    }
    const float sum = residualSum(e);
    residualShares(r.gasVolume, e, sum);
    r.gasPerCondensate = toSingle(wide(sum) * wide(0.05551f) * wide(0.082056f) * wide(298.15f));
    return r;
}

float h2oContent(const TotalSteamEntry& e) {
    if (!(e[8] <= threshold)) return e[8];
    // One expression, rounded once: the partial differences are not held.
    double rest = wide(100.0f);
    for (int i = 1; i <= 7; ++i) rest -= wide(e[i]);
    return toSingle(rest);
}

ResidualGas fromMolePercent(const TotalSteamEntry& e) {
    ResidualGas r;
    const float h = h2oContent(e);
    for (int i = 1; i <= 3; ++i) r.steamConc[i] = toSingle(wide(w(i)) * wide(e[i]) * wide(55.51f) / wide(h));
    const float sum = residualSum(e);
    residualShares(r.gasVolume, e, sum);
    r.gasPerCondensate = toSingle(wide(sum) * wide(55.51f) * wide(0.082056f) * wide(298.15f) / wide(h));
    return r;
}

ResidualGas fromWeightPercent(const TotalSteamEntry& e) {
    ResidualGas r;
    const float h = h2oContent(e);
    for (int i = 1; i <= 3; ++i) r.steamConc[i] = toSingle(wide(e[i]) * wide(1000000.0f) / wide(h));
    // Each quotient t(i) / w(i) goes unrounded into the float sum.
    float sum = 0;
    for (int i = 4; i <= 7; ++i) {
        const float t = toSingle(wide(e[i]) * wide(1000000.0f));
        sum = toSingle(wide(sum) + wide(t) / wide(w(i)));
    }
    if (sum >= threshold) {
        for (int i = 4; i <= 7; ++i) {
            const float u = toSingle(wide(e[i]) * wide(100.0f) * wide(1000000.0f));
            r.gasVolume[i] = toSingle(wide(u) / (wide(w(i)) * wide(sum)));
        }
    }
    r.gasPerCondensate = toSingle(wide(sum) * wide(0.082056f) * wide(298.15f) / wide(h));
    return r;
}

}  // namespace zelk
