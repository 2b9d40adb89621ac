// The charge balance of a water analysis: the mass balances of its components solved by
// Newton's method for the free activities at the measured pH, the ionic strength among the
// unknowns; then the sums of the charges of every species.
#include "zelkfile/charge_balance.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace zelk::workbench {

namespace aqueous {

namespace {

constexpr double ln10 = 2.302585092994046;
constexpr double zeroCelsius = 273.15;
// Mass balances met to this share of each total, and the ionic strength to this share of
// itself: the balance then lies within some 1e-4 percentage points of the exact solution, a
// hundredth of the 0.01 points asked of it. Newton's last step makes most waters far closer.
constexpr double tolerance = 1e-6;
constexpr int maxIterations = 200;
// No Newton step moves an activity by more than a factor of 100: larger steps let some acid
// waters rich in Al and F cycle, smaller ones slow them.
constexpr double largestStep = 2 * ln10;
// The activity of water: 1 less this times the molality of every solute (Parkhurst and
// Appelo 2013), meant for waters below some 1 mol/kg.
constexpr double waterPerSolute = 0.017;

// A species as one water holds it: a master given or a species formed from masters given.
// Its molality is exp(lnConstant + water ln a_w + Σ coefficient x - ln γ), x being the
// unknown ln a of its masters.
struct Entry {
    int first, firstCoefficient;    // unknown, or -1
    int second, secondCoefficient;  // unknown, or -1
    int charge;
    int water;
    double lnConstant;
    // ln γ = -p √I / (1 + q √I) + r I for Debye-Hückel; -p (√I / (1 + √I) - 0.3 I) for Davies.
    ActivityRule::Kind kind;
    double p, q, r;
    int species;  // index in `species`, or -1 - master
};

Entry activityOf(Entry e, const ActivityRule& rule, int charge, const DebyeHuckel& dh) {
    e.kind = rule.kind;
    e.p = ln10 * dh.A * charge * charge;
    e.q = rule.a * dh.B;
    e.r = ln10 * rule.b;
    e.charge = charge;
    return e;
}

// ln γ and its slope d ln γ / dI at I (root √I).
struct Gamma {
    double ln, slope;
};
inline Gamma gamma(const Entry& e, double ionicStrength, double root) {
    switch (e.kind) {
    case ActivityRule::debyeHuckel: {
        const double d = 1 / (1 + e.q * root);
        return {-e.p * root * d + e.r * ionicStrength, -e.p * d * d / (2 * root) + e.r};
    }
    case ActivityRule::davies: {
        const double d = 1 / (1 + root);
        return {-e.p * (root * d - 0.3 * ionicStrength), -e.p * (d * d / (2 * root) - 0.3)};
    }
    case ActivityRule::neutral:
        break;
    }
    return {e.r * ionicStrength, e.r};
}

// Solves the symmetric positive definite system a x = b, twice (b and c), by Cholesky on a
// scaled to a unit diagonal. False where a is not positive definite to working precision.
bool solveTwice(int n, double (*a)[masterCount], double* b, double* c) {
    double scale[masterCount];
    for (int i = 0; i < n; ++i) {
        if (!(a[i][i] > 0)) return false;
        scale[i] = 1 / std::sqrt(a[i][i]);
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= i; ++j) a[i][j] *= scale[i] * scale[j];
        b[i] *= scale[i];
        c[i] *= scale[i];
    }
    for (int j = 0; j < n; ++j) {
        double d = a[j][j];
        for (int k = 0; k < j; ++k) d -= a[j][k] * a[j][k];
        if (!(d > 1e-300)) return false;
        d = std::sqrt(d);
        a[j][j] = d;
        for (int i = j + 1; i < n; ++i) {
            double s = a[i][j];
            for (int k = 0; k < j; ++k) s -= a[i][k] * a[j][k];
            a[i][j] = s / d;
        }
    }
    for (double* v : {b, c}) {
        for (int i = 0; i < n; ++i) {
            double s = v[i];
            for (int k = 0; k < i; ++k) s -= a[i][k] * v[k];
            v[i] = s / a[i][i];
        }
        for (int i = n - 1; i >= 0; --i) {
            double s = v[i];
            for (int k = i + 1; k < n; ++k) s -= a[k][i] * v[k];
            v[i] = s / a[i][i];
        }
        for (int i = 0; i < n; ++i) v[i] *= scale[i];
    }
    return true;
}

}  // namespace

Water waterPhase(const SampleRecord& sample) {
    Water water;
    for (int j = 0; j < masterCount; ++j)
        water.mgPerKg[static_cast<std::size_t>(j)] = sample.waterConc[components[static_cast<std::size_t>(j)].number];
    water.pH = sample.waterPh;
    water.celsius = sample.waterPhTemperature == 0 ? 25 : sample.waterPhTemperature;
    return water;
}

double kgWaterPerKgSolution(const Water& water) {
    double solutes = 0;  // g
    for (const double mg : water.mgPerKg) solutes += mg / 1000;
    solutes += hydrogenWeight * std::pow(10.0, -water.pH) + hydroxideWeight * std::pow(10.0, water.pH - 14);
    return 1 - solutes / 1000;
}

std::array<double, masterCount> totalMolalities(const Water& water, double kgWater) {
    std::array<double, masterCount> totals{};
    for (int j = 0; j < masterCount; ++j) {
        const auto u = static_cast<std::size_t>(j);
        if (water.mgPerKg[u] > 0) totals[u] = water.mgPerKg[u] / 1000 / components[u].formulaWeight / kgWater;
    }
    return totals;
}

namespace {

// One water in the making: its species, the unknowns and the steps of the solution.
class Solver {
public:
    Solver(const Water& water, const std::array<double, masterCount>& totals, const DebyeHuckel& dh);
    bool empty() const { return n_ == 0; }
    Outcome solve(Speciation& out);

private:
    // The molalities at x_, ionicStrength_ and lnWater_, with what Newton's step needs.
    struct Evaluation {
        double jacobian[masterCount][masterCount];  // d(Σ ν m) / dx, lower triangle
        double held[masterCount];                   // Σ ν m of each master
        double byStrength[masterCount];             // d(Σ ν m) / dI
        double strengthBy[masterCount];             // d(½ Σ z² m) / dx
        double strength, strengthSlope, solutes;    // ½ Σ z² m, its d/dI, Σ m
    };
    void firstGuess(double pH);
    void evaluate(Evaluation& e);
    void relax();

    int n_ = 0;  // unknowns: ln a of every master given
    int masterOf_[masterCount];
    double total_[masterCount];
    Entry entries_[masterCount + speciesCount];  // the masters first, then the species formed
    int count_ = 0;
    Entry hydrogen_{};
    // The entries that hold each master, for relaxing one balance at a time.
    int holders_[masterCount][masterCount + speciesCount];
    int holderCount_[masterCount] = {};

    double x_[masterCount];
    double ionicStrength_ = 0, lnWater_ = 0;
    double molality_[masterCount + speciesCount];
    double hydrogenMolality_ = 0;
};

Solver::Solver(const Water& water, const std::array<double, masterCount>& totals, const DebyeHuckel& dh) {
    const double kelvin = water.celsius + zeroCelsius;
    int unknown[masterCount];
    for (int j = 0; j < masterCount; ++j) {
        unknown[j] = totals[static_cast<std::size_t>(j)] > 0 ? n_ : -1;
        if (unknown[j] < 0) continue;
        masterOf_[n_] = j;
        total_[n_++] = totals[static_cast<std::size_t>(j)];
    }
    for (int k = 0; k < n_; ++k) {
        const Component& c = components[static_cast<std::size_t>(masterOf_[k])];
        entries_[count_++] = activityOf({k, 1, -1, 0, 0, 0, 0, {}, 0, 0, 0, -1 - masterOf_[k]}, c.rule, c.charge, dh);
    }
    // Each reaction's log K once, at this temperature; a reaction written with another
    // species adds that one's, which comes earlier in the table. A species forms where all
    // its masters are given.
    double logK[speciesCount];
    for (int i = 0; i < speciesCount; ++i) {
        const Species& s = species[static_cast<std::size_t>(i)];
        int slots[2] = {-1, -1}, coefficients[2] = {0, 0};
        bool formed = true;
        for (int t = 0; t < 2; ++t) {
            const Term& term = s.masters[static_cast<std::size_t>(t)];
            if (term.coefficient == 0) continue;
            slots[t] = unknown[term.master];
            coefficients[t] = term.coefficient;
            formed = formed && slots[t] >= 0;
        }
        if (!formed) continue;
        logK[i] = aqueous::logK(s.constants, kelvin);
        if (s.with >= 0) logK[i] += s.times * logK[s.with];
        const double lnConstant = ln10 * (logK[i] - s.hydrogen * water.pH);
        entries_[count_++] = activityOf(
            {slots[0], coefficients[0], slots[1], coefficients[1], 0, s.water, lnConstant, {}, 0, 0, 0, i}, s.rule,
            s.charge, dh);
    }
    hydrogen_ = activityOf({-1, 0, -1, 0, 0, 0, -ln10 * water.pH, {}, 0, 0, 0, -1}, hydrogenRule, 1, dh);
    for (int e = 0; e < count_; ++e) {
        if (entries_[e].first >= 0) holders_[entries_[e].first][holderCount_[entries_[e].first]++] = e;
        if (entries_[e].second >= 0) holders_[entries_[e].second][holderCount_[entries_[e].second]++] = e;
    }
    firstGuess(water.pH);
}

// Each master shared among itself and the species it forms with H+ and water alone, which the
// pH gives directly; the ionic strength of that distribution, and the share again with the
// activity coefficients it gives.
void Solver::firstGuess(double pH) {
    const double neutralWater = 0.5 * (std::pow(10.0, -pH) + std::pow(10.0, pH - 14));
    ionicStrength_ = neutralWater;
    double solutes = 0;
    for (int k = 0; k < n_; ++k) {
        ionicStrength_ += 0.5 * entries_[k].charge * entries_[k].charge * total_[k];
        solutes += total_[k];
    }
    lnWater_ = std::log(std::max(1 - waterPerSolute * solutes, 0.01));
    for (int round = 0; round < 2; ++round) {
        const double root = std::sqrt(ionicStrength_);
        double share[masterCount], strength[masterCount], masterGamma[masterCount];
        for (int k = 0; k < n_; ++k) {
            share[k] = 1;
            masterGamma[k] = gamma(entries_[k], ionicStrength_, root).ln;
            strength[k] = 0.5 * entries_[k].charge * entries_[k].charge;
        }
        for (int e = n_; e < count_; ++e) {
            const Entry& s = entries_[e];
            if (s.first < 0 || s.second >= 0 || s.firstCoefficient != 1) continue;
            const double ratio =
                std::exp(s.lnConstant + s.water * lnWater_ - gamma(s, ionicStrength_, root).ln + masterGamma[s.first]);
            share[s.first] += ratio;
            strength[s.first] += 0.5 * s.charge * s.charge * ratio;
        }
        ionicStrength_ = neutralWater;
        for (int k = 0; k < n_; ++k) {
            x_[k] = std::log(total_[k] / share[k]) + masterGamma[k];
            ionicStrength_ += total_[k] * strength[k] / share[k];
        }
    }
}

void Solver::evaluate(Evaluation& v) {
    v = Evaluation{};
    const double root = std::sqrt(ionicStrength_);
    for (int e = 0; e < count_; ++e) {
        const Entry& s = entries_[e];
        const Gamma g = gamma(s, ionicStrength_, root);
        double lnM = s.lnConstant + s.water * lnWater_ - g.ln;
        if (s.first >= 0) lnM += s.firstCoefficient * x_[s.first];
        if (s.second >= 0) lnM += s.secondCoefficient * x_[s.second];
        const double m = std::exp(std::min(lnM, 600.0));
        molality_[e] = m;
        const double half = 0.5 * s.charge * s.charge * m;
        v.strength += half;
        v.strengthSlope -= half * g.slope;
        v.solutes += m;
        if (s.first < 0) continue;
        const double a = s.firstCoefficient * m;
        v.held[s.first] += a;
        v.jacobian[s.first][s.first] += s.firstCoefficient * a;
        v.byStrength[s.first] -= a * g.slope;
        v.strengthBy[s.first] += s.firstCoefficient * half;
        if (s.second < 0) continue;
        const double b = s.secondCoefficient * m;
        v.held[s.second] += b;
        v.jacobian[s.second][s.second] += s.secondCoefficient * b;
        v.jacobian[std::max(s.first, s.second)][std::min(s.first, s.second)] += s.secondCoefficient * a;
        v.byStrength[s.second] -= b * g.slope;
        v.strengthBy[s.second] += s.secondCoefficient * half;
    }
    const Gamma g = gamma(hydrogen_, ionicStrength_, root);
    hydrogenMolality_ = std::exp(hydrogen_.lnConstant - g.ln);
    v.strength += 0.5 * hydrogenMolality_;
    v.strengthSlope -= 0.5 * hydrogenMolality_ * g.slope;
    v.solutes += hydrogenMolality_;
}

// Each balance solved in turn for its own master, the others held: ln Σ ν m is convex in that
// master's ln a, so Newton's method on it settles from any start. Where one species holds
// nearly all of two masters (SiF6-2 of a trace of silica and much fluoride), the Jacobian of
// all balances is nearly singular and this is what moves the two apart.
void Solver::relax() {
    const double root = std::sqrt(ionicStrength_);
    for (int sweep = 0; sweep < 3; ++sweep)
        for (int k = 0; k < n_; ++k)
            for (int inner = 0; inner < 4; ++inner) {
                double held = 0, slope = 0;
                for (int h = 0; h < holderCount_[k]; ++h) {
                    const Entry& s = entries_[holders_[k][h]];
                    double lnM = s.lnConstant + s.water * lnWater_ - gamma(s, ionicStrength_, root).ln;
                    if (s.first >= 0) lnM += s.firstCoefficient * x_[s.first];
                    if (s.second >= 0) lnM += s.secondCoefficient * x_[s.second];
                    const int nu = s.first == k ? s.firstCoefficient : s.secondCoefficient;
                    const double m = std::exp(std::min(lnM, 600.0));
                    held += nu * m;
                    slope += nu * nu * m;
                }
                const double ratio = std::log(std::max(held, 1e-300) / total_[k]);
                if (std::fabs(ratio) < 1e-3) break;
                x_[k] -= std::clamp(ratio * held / slope, -4 * largestStep, largestStep);
            }
}

Outcome Solver::solve(Speciation& out) {
    Evaluation v;
    // The last step, kept to be shortened where it left the balances worse than it found them.
    double lastX[masterCount], lastDx[masterCount];
    double lastI = 0, lastDI = 0, lastMerit = 0, length = 1;
    bool lastCoupled = false, retreatable = false;
    for (int iteration = 1;; ++iteration) {
        evaluate(v);
        const double newLnWater = std::log(std::max(1 - waterPerSolute * v.solutes, 0.01));
        // The mass balances in logarithms, ln(Σ ν m / total): where a few species of high
        // order hold nearly all of a master far above its total (AlF4-, SiF6-2 in acid waters),
        // Newton's step on the logarithm comes near the answer at once, on the difference it
        // would gain one unit a step.
        double rhs[masterCount];
        double far = 0, merit = 0;
        for (int k = 0; k < n_; ++k) {
            const double ratio = std::log(std::max(v.held[k], 1e-300) / total_[k]);
            far = std::max(far, std::fabs(ratio));
            merit += ratio * ratio;
            rhs[k] = -v.held[k] * ratio;
        }
        const double misfit = (v.strength - ionicStrength_) / ionicStrength_;
        const double worst = std::max({far, std::fabs(misfit), std::fabs(newLnWater - lnWater_)});
        if (!std::isfinite(worst)) return Outcome::notConverged;
        if (worst < tolerance) {
            out.iterations = iteration;
            break;
        }
        if (iteration == maxIterations) return Outcome::notConverged;
        // Back along the last step while it made the sum of squares of the balances worse
        // (Armijo's rule): Newton's full step may cycle far from the answer, where the
        // hydroxo complexes of hot alkaline waters or the fluorides of acid ones hold a master.
        if (retreatable && far > 1e-3 &&
            !(merit + (lastCoupled ? misfit * misfit : 0) <= (1 - 2e-4 * length) * lastMerit)) {
            if (length > 0.1) {
                length /= 2;
                for (int k = 0; k < n_; ++k) x_[k] = lastX[k] + length * lastDx[k];
                ionicStrength_ = lastI + length * lastDI;
            } else {
                // Newton's direction does not lead down here: the balances one by one.
                for (int k = 0; k < n_; ++k) x_[k] = lastX[k];
                ionicStrength_ = lastI;
                relax();
                retreatable = false;
            }
            continue;
        }
        // A first guess far off (acid waters rich in Al and F): the balances one by one first.
        if (iteration == 1 && far > 2) {
            relax();
            continue;
        }
        // Far from the answer the molalities say little of the ionic strength and the activity
        // of water, which are held until the balances are within a tenth.
        const bool coupled = far < 0.1;
        if (coupled) lnWater_ = newLnWater;
        // Balances met at an ionic strength far from the one they give (brines, hot alkaline
        // waters): the ionic strength is taken from them, within a factor of 4, and the
        // balances solved again before Newton's method takes both together.
        if (coupled && std::fabs(misfit) > 0.3) {
            ionicStrength_ = std::clamp(v.strength, 0.25 * ionicStrength_, 4 * ionicStrength_);
            retreatable = false;
            continue;
        }

        // Newton's step on x and I together: the mass balances give dx = u - w dI, the ionic
        // strength's own equation ½ Σ z² m - I = 0 then dI.
        if (!solveTwice(n_, v.jacobian, rhs, v.byStrength)) return Outcome::notConverged;
        double dI = 0;
        if (coupled) {
            double numerator = -(v.strength - ionicStrength_), denominator = v.strengthSlope - 1;
            for (int k = 0; k < n_; ++k) {
                numerator -= v.strengthBy[k] * rhs[k];
                denominator -= v.strengthBy[k] * v.byStrength[k];
            }
            dI = std::clamp(numerator / denominator, -0.5 * ionicStrength_, ionicStrength_);
        }
        double step = 0;
        double dx[masterCount];
        for (int k = 0; k < n_; ++k) {
            dx[k] = rhs[k] - v.byStrength[k] * dI;
            step = std::max(step, std::fabs(dx[k]));
        }
        const double damping = step > largestStep ? largestStep / step : 1;
        for (int k = 0; k < n_; ++k) {
            lastX[k] = x_[k];
            lastDx[k] = damping * dx[k];
            x_[k] += lastDx[k];
        }
        lastI = ionicStrength_;
        lastDI = damping * dI;
        ionicStrength_ += lastDI;
        lastMerit = merit + (coupled ? misfit * misfit : 0);
        lastCoupled = coupled;
        retreatable = true;
        length = 1;
    }

    out.ionicStrength = ionicStrength_;
    out.waterActivity = std::exp(lnWater_);
    out.hydrogen = hydrogenMolality_;
    out.cations = hydrogenMolality_;
    for (int e = 0; e < count_; ++e) {
        const Entry& s = entries_[e];
        const double m = molality_[e];
        if (s.charge > 0) out.cations += s.charge * m;
        if (s.charge < 0) out.anions -= s.charge * m;
        if (s.species >= 0) out.molality[static_cast<std::size_t>(s.species)] = m;
        else out.free[static_cast<std::size_t>(-1 - s.species)] = m;
    }
    return Outcome::converged;
}

}  // namespace

Outcome speciate(const Water& water, Speciation& out) {
    out = Speciation{};
    out.kgWater = kgWaterPerKgSolution(water);
    if (!(out.kgWater > 0)) return Outcome::noWater;
    const DebyeHuckel dh = debyeHuckel(water.celsius + zeroCelsius);
    out.A = dh.A;
    out.B = dh.B;
    Solver solver(water, totalMolalities(water, out.kgWater), dh);
    if (solver.empty()) return Outcome::noWater;
    return solver.solve(out);
}

}  // namespace aqueous

namespace {

// A value the block really holds: a field of asterisks reads as the largest float, and the
// file may carry inf or nan.
bool known(float value) { return std::isfinite(value) && std::fabs(value) < std::numeric_limits<float>::max(); }

std::string oneDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

ChargeBalance chargeBalance(const SampleRecord& sample) {
    ChargeBalance result;
    const auto noBalance = [&](const std::string& reason) {
        result.notes.push_back("no charge balance: " + reason);
        return result;
    };
    if (sample.waterPh == 0) return noBalance("no pH");
    if (!known(sample.waterPh) || sample.waterPh < 0) return noBalance("negative or lost pH");
    bool given = false;
    for (const aqueous::Component& c : aqueous::components) {
        const float value = sample.waterConc[c.number];
        if (!known(value) || value < 0) return noBalance("negative or lost " + std::string(c.name));
        given = given || value > 0;
    }
    if (!given) return noBalance("no component");
    const float celsius = sample.waterPhTemperature;
    if (!known(celsius) || celsius < 0 || celsius > highestPhTemperature)
        return noBalance("pH temperature out of range");

    aqueous::Speciation s;
    switch (aqueous::speciate(aqueous::waterPhase(sample), s)) {
    case aqueous::Outcome::noWater:
        return noBalance("solutes as heavy as the solution");
    case aqueous::Outcome::notConverged:
        return noBalance("speciation did not converge");
    case aqueous::Outcome::converged:
        break;
    }
    result.ionicStrength = s.ionicStrength;
    result.cations = 1000 * s.cations;
    result.anions = 1000 * s.anions;
    const double balance = 100 * (s.cations - s.anions) / (s.cations + s.anions);
    result.chargeBalance = balance;
    // Without carbonate analysed there is no bicarbonate to tell, not none.
    if (sample.waterConc[aqueous::components[aqueous::CO3].number] > 0) {
        constexpr std::size_t hco3Species = 1;
        result.hco3 = s.molality[hco3Species] * s.kgWater * aqueous::hco3Weight * 1000;
        result.co3 = s.free[aqueous::CO3] * s.kgWater * aqueous::co3Weight * 1000;
    }
    if (std::fabs(balance) > chargeBalanceLimit) result.notes.push_back("charge balance off by " + oneDecimal(balance) + " %");
    if (celsius == 0) result.notes.push_back("pH temperature not given: balance at 25 °C");
    return result;
}

}  // namespace zelk::workbench
