// The saturation line of water from the IF97 equations: region 4 for the temperature, the
// Gibbs energies of regions 1 and 2 and the Helmholtz energy of region 3 for the enthalpies.
#include "zelkfile/if97.hpp"

#include <algorithm>
#include <cmath>

namespace zelk::if97 {

namespace {

constexpr double gasConstant = 0.461526;  // kJ/(kg K)

struct Term {
    int i;
    int j;
    double n;
};

// x to an integer power by squaring: the equations hold powers up to the 58th.
double power(double x, int exponent) {
    if (exponent < 0) return 1 / power(x, -exponent);
    double result = 1;
    while (exponent > 0) {
        if (exponent & 1) result *= x;
        x *= x;
        exponent >>= 1;
    }
    return result;
}

// Region 1, the liquid: gamma(pi, tau) = sum n (7.1 - pi)^I (tau - 1.222)^J.
constexpr Term region1[] = {
    {0, -2, 0.14632971213167},     {0, -1, -0.84548187169114},    {0, 0, -0.37563603672040e1},
    {0, 1, 0.33855169168385e1},    {0, 2, -0.95791963387872},     {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},  {0, 5, 0.81214629983568e-3},   {1, -9, 0.28319080123804e-3},
    {1, -7, -0.60706301565874e-3}, {1, -1, -0.18990068218419e-1}, {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},  {1, 3, -0.52838357969930e-4},  {2, -3, -0.47184321073267e-3},
    {2, 0, -0.30001780793026e-3},  {2, 1, 0.47661393906987e-4},   {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15}, {3, -4, -0.31679644845054e-4}, {3, 0, -0.28270797985312e-5},
    {3, 6, -0.85205128120103e-9},  {4, -5, -0.22425281908000e-5}, {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12}, {5, -8, -0.40516996860117e-6}, {8, -11, -0.12734301741641e-8},
    {8, -6, -0.17424871230634e-9}, {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22}, {30, -39, -0.11947622640071e-22}, {31, -40, 0.18228094581404e-23},
    {32, -41, -0.93537087292458e-25},
};

// Region 2, the vapour: the ideal-gas part sum n0 tau^J0 (beside ln pi) and the residual
// part sum n pi^I (tau - 0.5)^J.
constexpr Term region2Ideal[] = {
    {0, 0, -0.96927686500217e1}, {0, 1, 0.10086655968018e2},  {0, -5, -0.56087911283020e-2},
    {0, -4, 0.71452738081455e-1}, {0, -3, -0.40710498223928}, {0, -2, 0.14240819171444e1},
    {0, -1, -0.43839511319450e1}, {0, 2, -0.28408632460772},  {0, 3, 0.21268463753307e-1},
};
constexpr Term region2Residual[] = {
    {1, 0, -0.17731742473213e-2},  {1, 1, -0.17834862292358e-1},  {1, 2, -0.45996013696365e-1},
    {1, 3, -0.57581259083432e-1},  {1, 6, -0.50325278727930e-1},  {2, 1, -0.33032641670203e-4},
    {2, 2, -0.18948987516315e-3},  {2, 4, -0.39392777243355e-2},  {2, 7, -0.43797295650573e-1},
    {2, 36, -0.26674547914087e-4}, {3, 0, 0.20481737692309e-7},   {3, 1, 0.43870667284435e-6},
    {3, 3, -0.32277677238570e-4},  {3, 6, -0.15033924542148e-2},  {3, 35, -0.40668253562649e-1},
    {4, 1, -0.78847309559367e-9},  {4, 2, 0.12790717852285e-7},   {4, 3, 0.48225372718507e-6},
    {5, 7, 0.22922076337661e-5},   {6, 3, -0.16714766451061e-10}, {6, 16, -0.21171472321355e-2},
    {6, 35, -0.23895741934104e2},  {7, 0, -0.59059564324270e-17}, {7, 11, -0.12621808899101e-5},
    {7, 25, -0.38946842435739e-1}, {8, 8, 0.11256211360459e-10},  {8, 36, -0.82311340897998e1},
    {9, 13, 0.19809712802088e-7},  {10, 4, 0.10406965210174e-18}, {10, 10, -0.10234747095929e-12},
    {10, 14, -0.10018179379511e-8}, {16, 29, -0.80882908646985e-10}, {16, 50, 0.10693031879409},
    {18, 57, -0.33662250574171},   {20, 20, 0.89185845355421e-24}, {20, 35, 0.30629316876232e-12},
    {20, 48, -0.42002467698208e-5}, {21, 21, -0.59056029685639e-25}, {22, 53, 0.37826947613457e-5},
    {23, 39, -0.12768608934681e-14}, {24, 26, 0.73087610595061e-28}, {24, 40, 0.55414715350778e-16},
    {24, 58, -0.94369707241210e-6},
};

// Region 3, near the critical point: phi(delta, tau) = n1 ln delta + sum n delta^I tau^J.
constexpr double region3Log = 0.10658070028513e1;
constexpr Term region3[] = {
    {0, 0, -0.15732845290239e2},  {0, 1, 0.20944396974307e2},   {0, 2, -0.76867707878716e1},
    {0, 7, 0.26185947787954e1},   {0, 10, -0.28080781148620e1}, {0, 12, 0.12053369696517e1},
    {0, 23, -0.84566812812502e-2}, {1, 2, -0.12654315477714e1},  {1, 6, -0.11524407806681e1},
    {1, 15, 0.88521043984318},    {1, 17, -0.64207765181607},   {2, 0, 0.38493460186671},
    {2, 2, -0.85214708824206},    {2, 6, 0.48972281541877e1},   {2, 7, -0.30502617256965e1},
    {2, 22, 0.39420536879154e-1}, {2, 26, 0.12558408424308},    {3, 0, -0.27999329698710},
    {3, 2, 0.13899799569460e1},   {3, 4, -0.20189915023570e1},  {3, 16, -0.82147637173963e-2},
    {3, 26, -0.47596035734923},   {4, 0, 0.43984074473500e-1},  {4, 2, -0.44476435428739},
    {4, 4, 0.90572070719733},     {4, 26, 0.70522450087967},    {5, 1, 0.10770512626332},
    {5, 3, -0.32913623258954},    {5, 26, -0.50871062041158},   {6, 0, -0.22175400873096e-1},
    {6, 2, 0.94260751665092e-1},  {6, 26, 0.16436278447961},    {7, 2, -0.13503372241348e-1},
    {8, 26, -0.14834345352472e-1}, {9, 2, 0.57922953628084e-3},  {9, 26, 0.32308904703711e-2},
    {10, 0, 0.80964802996215e-4}, {10, 1, -0.16557679795037e-3}, {11, 26, -0.44923899061815e-4},
};
constexpr double criticalTemperature = 647.096;  // K
constexpr double criticalDensity = 322;          // kg/m3

// Region 4: the saturation line as a quadratic in beta = (p / 1 MPa)^(1/4) and theta.
constexpr double n4[] = {
    0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2, 0.12020824702470e5,
    -0.32325550322333e7, 0.14915108613530e2,  -0.48232657361591e4, 0.40511340542057e6,
    -0.23855557567849,   0.65017534844798e3,
};

// Above this temperature the saturated phases lie in region 3.
constexpr double region13Temperature = 623.15;  // K

// The density at which region 3 gives the pressure p on the isotherm T, found by bisection
// from the first density on the far side of p when walking from start in steps of step:
// from the vapour side upwards, from the liquid side downwards.
double region3Density(double pressure, double temperature, double start, double step) {
    const bool rising = step > 0;
    double near = start;
    while ((region3Pressure(near, temperature) < pressure) != rising) near -= step;
    double far = near + step;
    while ((region3Pressure(far, temperature) < pressure) == rising) {
        near = far;
        far += step;
    }
    for (;;) {
        const double middle = (near + far) / 2;
        if (middle == near || middle == far) return middle;
        ((region3Pressure(middle, temperature) < pressure) == rising ? near : far) = middle;
    }
}

}  // namespace

double saturationTemperature(double pressure) {
    const double beta = std::sqrt(std::sqrt(pressure));
    const double e = beta * beta + n4[2] * beta + n4[5];
    const double f = n4[0] * beta * beta + n4[3] * beta + n4[6];
    const double g = n4[1] * beta * beta + n4[4] * beta + n4[7];
    const double d = 2 * g / (-f - std::sqrt(f * f - 4 * e * g));
    return (n4[9] + d - std::sqrt((n4[9] + d) * (n4[9] + d) - 4 * (n4[8] + n4[9] * d))) / 2;
}

double saturationPressure(double temperature) {
    const double theta = temperature + n4[8] / (temperature - n4[9]);
    const double a = theta * theta + n4[0] * theta + n4[1];
    const double b = n4[2] * theta * theta + n4[3] * theta + n4[4];
    const double c = n4[5] * theta * theta + n4[6] * theta + n4[7];
    const double root = 2 * c / (-b + std::sqrt(b * b - 4 * a * c));
    return root * root * root * root;
}

std::optional<double> saturatedLiquidEnthalpy(double temperature) {
    if (!(temperature >= 273.16 && temperature <= criticalTemperature)) return std::nullopt;
    if (temperature <= region13Temperature) return region1Enthalpy(saturationPressure(temperature), temperature);
    const std::optional<Saturation> s = saturation(std::min(saturationPressure(temperature), criticalPressure));
    if (!s) return std::nullopt;
    return s->liquidEnthalpy;
}

double region1Enthalpy(double pressure, double temperature) {
    const double pi = pressure / 16.53;
    const double tau = 1386 / temperature;
    double gammaTau = 0;
    for (const Term& t : region1) gammaTau += t.n * power(7.1 - pi, t.i) * t.j * power(tau - 1.222, t.j - 1);
    return gasConstant * temperature * tau * gammaTau;
}

double region2Enthalpy(double pressure, double temperature) {
    const double pi = pressure;
    const double tau = 540 / temperature;
    double gammaTau = 0;
    for (const Term& t : region2Ideal) gammaTau += t.n * t.j * power(tau, t.j - 1);
    for (const Term& t : region2Residual) gammaTau += t.n * power(pi, t.i) * t.j * power(tau - 0.5, t.j - 1);
    return gasConstant * temperature * tau * gammaTau;
}

double region3Pressure(double density, double temperature) {
    const double delta = density / criticalDensity;
    const double tau = criticalTemperature / temperature;
    double phiDelta = region3Log / delta;
    for (const Term& t : region3) phiDelta += t.n * t.i * power(delta, t.i - 1) * power(tau, t.j);
    return density * gasConstant * temperature * delta * phiDelta / 1000;
}

double region3Enthalpy(double density, double temperature) {
    const double delta = density / criticalDensity;
    const double tau = criticalTemperature / temperature;
    double phiDelta = region3Log / delta;
    double phiTau = 0;
    for (const Term& t : region3) {
        phiDelta += t.n * t.i * power(delta, t.i - 1) * power(tau, t.j);
        phiTau += t.n * power(delta, t.i) * t.j * power(tau, t.j - 1);
    }
    return gasConstant * temperature * (tau * phiTau + delta * phiDelta);
}

std::optional<Saturation> saturation(double pressure) {
    // Written so that a pressure that is not a number fails too.
    if (!(pressure >= triplePressure && pressure <= criticalPressure)) return std::nullopt;
    Saturation s;
    if (pressure == criticalPressure) {
        // Both phases are the critical point itself, where the isotherm is too flat for a
        // density to be found from the pressure.
        s.temperature = criticalTemperature;
        s.liquidEnthalpy = s.vapourEnthalpy = region3Enthalpy(criticalDensity, criticalTemperature);
        return s;
    }
    s.temperature = saturationTemperature(pressure);
    if (s.temperature <= region13Temperature) {
        s.liquidEnthalpy = region1Enthalpy(pressure, s.temperature);
        s.vapourEnthalpy = region2Enthalpy(pressure, s.temperature);
        return s;
    }
    // The saturated vapour at 623.15 K is 113 kg/m3 and the liquid 575 kg/m3; both meet at
    // the critical density, so walking in from 100 and from 650 finds each phase first.
    constexpr double step = 0.5;
    s.liquidEnthalpy = region3Enthalpy(region3Density(pressure, s.temperature, 650, -step), s.temperature);
    s.vapourEnthalpy = region3Enthalpy(region3Density(pressure, s.temperature, 100, step), s.temperature);
    return s;
}

}  // namespace zelk::if97
