// The reference speciation: every species, every constant evaluated again each round, the
// mass balances solved in long double by Newton's method with partial pivoting, and the
// activity coefficients iterated around it to a relative 1e-12 of the ionic strength.
#include "support/balance_reference.hpp"

#include <cmath>
#include <utility>
#include <vector>

namespace zelk::test {

namespace {

using namespace workbench::aqueous;
using real = long double;

// log10 γ of an ion or neutral species by its rule.
real log10Gamma(const ActivityRule& rule, int charge, real A, real B, real I) {
    const real root = std::sqrt(I);
    switch (rule.kind) {
    case ActivityRule::debyeHuckel:
        return -A * charge * charge * root / (1 + rule.a * B * root) + rule.b * I;
    case ActivityRule::davies:
        return -A * charge * charge * (root / (1 + root) - 0.3L * I);
    case ActivityRule::neutral:
        break;
    }
    return rule.b * I;
}

// Gaussian elimination with partial pivoting; false where singular.
bool solve(std::vector<std::vector<real>>& a, std::vector<real>& b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (a[pivot][col] == 0) return false;
        std::swap(a[pivot], a[col]);
        std::swap(b[pivot], b[col]);
        for (std::size_t r = col + 1; r < n; ++r) {
            const real f = a[r][col] / a[col][col];
            for (std::size_t c = col; c < n; ++c) a[r][c] -= f * a[col][c];
            b[r] -= f * b[col];
        }
    }
    for (std::size_t i = n; i-- > 0;) {
        real s = b[i];
        for (std::size_t c = i + 1; c < n; ++c) s -= a[i][c] * b[c];
        b[i] = s / a[i][i];
    }
    return true;
}

}  // namespace

std::optional<ReferenceSpeciation> referenceSpeciation(const Water& water) {
    const double kgWater = kgWaterPerKgSolution(water);
    if (!(kgWater > 0)) return std::nullopt;
    const std::array<double, masterCount> totals = totalMolalities(water, kgWater);
    const double kelvin = water.celsius + 273.15;
    const DebyeHuckel dh = debyeHuckel(kelvin);
    const real A = dh.A, B = dh.B;
    const real pH = water.pH;

    std::vector<int> given;
    for (int j = 0; j < masterCount; ++j)
        if (totals[static_cast<std::size_t>(j)] > 0) given.push_back(j);
    const std::size_t n = given.size();
    if (n == 0) return std::nullopt;
    std::array<bool, speciesCount> formed{};
    for (int i = 0; i < speciesCount; ++i) {
        formed[static_cast<std::size_t>(i)] = true;
        for (const Term& t : species[static_cast<std::size_t>(i)].masters)
            if (t.coefficient != 0 && !(totals[static_cast<std::size_t>(t.master)] > 0))
                formed[static_cast<std::size_t>(i)] = false;
    }

    // Activities start at the totals; the ionic strength as if every total were a free ion.
    std::array<real, masterCount> logA{};
    real I = 0.5L * (std::pow(10.0L, -pH) + std::pow(10.0L, pH - 14));
    for (const int j : given) {
        logA[static_cast<std::size_t>(j)] = std::log10(static_cast<real>(totals[static_cast<std::size_t>(j)]));
        I += 0.5L * components[static_cast<std::size_t>(j)].charge * components[static_cast<std::size_t>(j)].charge *
             totals[static_cast<std::size_t>(j)];
    }
    real logWater = 0;

    const real ln10 = std::log(10.0L);
    std::array<real, speciesCount> logK{};
    for (int i = 0; i < speciesCount; ++i)
        if (formed[static_cast<std::size_t>(i)]) logK[static_cast<std::size_t>(i)] = logKInMasters(i, kelvin);
    std::array<real, speciesCount> m{};
    std::array<real, masterCount> free{};
    real hydrogen = 0;
    ReferenceSpeciation result;
    const auto molalities = [&](const std::array<real, masterCount>& la, real lw, real ionic) {
        for (const int j : given)
            free[static_cast<std::size_t>(j)] =
                std::exp(ln10 * (la[static_cast<std::size_t>(j)] -
                                    log10Gamma(components[static_cast<std::size_t>(j)].rule,
                                               components[static_cast<std::size_t>(j)].charge, A, B, ionic)));
        hydrogen = std::exp(ln10 * (-pH - log10Gamma(hydrogenRule, 1, A, B, ionic)));
        for (int i = 0; i < speciesCount; ++i) {
            const auto u = static_cast<std::size_t>(i);
            if (!formed[u]) continue;
            const Species& s = species[u];
            real logM = logK[u] - s.hydrogen * pH + s.water * lw - log10Gamma(s.rule, s.charge, A, B, ionic);
            for (const Term& t : s.masters)
                if (t.coefficient != 0) logM += t.coefficient * la[static_cast<std::size_t>(t.master)];
            m[u] = std::exp(ln10 * logM);
        }
    };

    // With γ and a_w held, the mass balances are the gradient of the convex function
    // Φ(x) = Σ m - Σ total·x of x = ln a, and their Jacobian its Hessian: Newton's method with
    // a backtracking line search on Φ converges from any start.
    const auto phi = [&](const std::array<real, masterCount>& la) {
        molalities(la, logWater, I);
        real value = 0;
        for (const int j : given) value += free[static_cast<std::size_t>(j)] - totals[static_cast<std::size_t>(j)] * ln10 * la[static_cast<std::size_t>(j)];
        for (int i = 0; i < speciesCount; ++i) value += m[static_cast<std::size_t>(i)];
        return value;
    };
    for (int round = 1; round <= 2000; ++round) {
        for (int step = 0; step < 500; ++step) {
            molalities(logA, logWater, I);
            std::vector<std::vector<real>> jacobian(n, std::vector<real>(n, 0));
            std::vector<real> residual(n, 0);
            std::vector<int> row(masterCount, -1);
            for (std::size_t r = 0; r < n; ++r) row[static_cast<std::size_t>(given[r])] = static_cast<int>(r);
            for (std::size_t r = 0; r < n; ++r) {
                const real f = free[static_cast<std::size_t>(given[r])];
                residual[r] += f;
                jacobian[r][r] += f;
            }
            for (int i = 0; i < speciesCount; ++i) {
                const auto u = static_cast<std::size_t>(i);
                if (!formed[u]) continue;
                for (const Term& t : species[u].masters) {
                    if (t.coefficient == 0) continue;
                    const auto r = static_cast<std::size_t>(row[static_cast<std::size_t>(t.master)]);
                    residual[r] += t.coefficient * m[u];
                    for (const Term& v : species[u].masters)
                        if (v.coefficient != 0)
                            jacobian[r][static_cast<std::size_t>(row[static_cast<std::size_t>(v.master)])] +=
                                t.coefficient * v.coefficient * m[u];
                }
            }
            real worst = 0;
            std::vector<real> gradient(n);
            for (std::size_t r = 0; r < n; ++r) {
                const real total = totals[static_cast<std::size_t>(given[r])];
                gradient[r] = residual[r] - total;
                residual[r] = -gradient[r];
                worst = std::max(worst, std::fabs(gradient[r]) / total);
            }
            if (!std::isfinite(static_cast<double>(worst))) return std::nullopt;
            if (worst < 1e-15L) break;
            if (!solve(jacobian, residual)) return std::nullopt;  // residual: the Newton direction in ln a
            real slope = 0;
            for (std::size_t r = 0; r < n; ++r) slope += gradient[r] * residual[r];
            const real start = worst < 1e-3L ? 0 : phi(logA);
            real t = 1;
            std::array<real, masterCount> trial = logA;
            for (int halving = 0; halving < 60; ++halving, t /= 2) {
                trial = logA;
                for (std::size_t r = 0; r < n; ++r) trial[static_cast<std::size_t>(given[r])] += t * residual[r] / ln10;
                // Close to the answer Φ no longer resolves the decrease: a full step is taken there.
                if (worst < 1e-3L || phi(trial) <= start + 1e-4L * t * slope) break;
            }
            logA = trial;
        }
        // The ionic strength and the activity of water of this distribution.
        molalities(logA, logWater, I);
        real ionic = 0.5L * hydrogen, sum = hydrogen;
        for (const int j : given) {
            const int z = components[static_cast<std::size_t>(j)].charge;
            ionic += 0.5L * z * z * free[static_cast<std::size_t>(j)];
            sum += free[static_cast<std::size_t>(j)];
        }
        for (int i = 0; i < speciesCount; ++i) {
            const int z = species[static_cast<std::size_t>(i)].charge;
            ionic += 0.5L * z * z * m[static_cast<std::size_t>(i)];
            sum += m[static_cast<std::size_t>(i)];
        }
        const real newLogWater = std::log10(1 - 0.017L * sum);
        const bool settled = std::fabs(ionic - I) <= 1e-12L * ionic && std::fabs(newLogWater - logWater) < 1e-15L;
        result.rounds = round;
        // Settled: the distribution meets the balances at an ionic strength it reproduces.
        if (settled) break;
        I = ionic;
        logWater = newLogWater;
        if (round == 2000) return std::nullopt;
    }
    molalities(logA, logWater, I);
    for (const int j : given) {
        real total = free[static_cast<std::size_t>(j)];
        for (int i = 0; i < speciesCount; ++i)
            for (const Term& t : species[static_cast<std::size_t>(i)].masters)
                if (t.coefficient != 0 && t.master == j) total += t.coefficient * m[static_cast<std::size_t>(i)];
        if (!(std::fabs(total / totals[static_cast<std::size_t>(j)] - 1) < 1e-13L)) return std::nullopt;
    }

    real cations = hydrogen, anions = 0;
    for (const int j : given) {
        const int z = components[static_cast<std::size_t>(j)].charge;
        (z > 0 ? cations : anions) += std::abs(z) * free[static_cast<std::size_t>(j)];
        result.free[static_cast<std::size_t>(j)] = static_cast<double>(free[static_cast<std::size_t>(j)]);
    }
    for (int i = 0; i < speciesCount; ++i) {
        const int z = species[static_cast<std::size_t>(i)].charge;
        if (z != 0) (z > 0 ? cations : anions) += std::abs(z) * m[static_cast<std::size_t>(i)];
        result.molality[static_cast<std::size_t>(i)] = static_cast<double>(m[static_cast<std::size_t>(i)]);
    }
    result.ionicStrength = static_cast<double>(I);
    result.cations = static_cast<double>(1000 * cations);
    result.anions = static_cast<double>(1000 * anions);
    result.chargeBalance = static_cast<double>(100 * (cations - anions) / (cations + anions));
    result.hco3 = static_cast<double>(m[1] * kgWater * hco3Weight * 1000);
    result.co3 = static_cast<double>(free[CO3] * kgWater * co3Weight * 1000);
    return result;
}

}  // namespace zelk::test
