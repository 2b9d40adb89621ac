// The aqueous model of a water analysis: its fourteen components, the 60 species they form,
// each reaction's constants and temperature function, and the Debye-Hückel constants of water.
#pragma once

#include <array>
#include <string_view>

namespace zelk::workbench::aqueous {

// The masters, one per component counted, in this order throughout.
enum Master : int { CO3, HS, NH4, H3BO3, H4SiO4, Na, K, Mg, Ca, F, Cl, SO4, Al, Fe };
inline constexpr int masterCount = 14;

// log10 γ as a function of the ionic strength I:
//   debyeHuckel (Truesdell and Jones 1974): -A z² √I / (1 + a B √I) + b I
//   davies (Davies 1962):                    -A z² (√I / (1 + √I) - 0.3 I)
//   neutral:                                 b I
struct ActivityRule {
    enum Kind { debyeHuckel, davies, neutral } kind;
    double a = 0;  // ion size, Å
    double b = 0;  // kg/mol
};

struct Component {
    int number;                    // the record's component number (waterConc)
    std::string_view name;         // as the analysis reports it
    std::string_view master;       // the species its total is counted as
    int charge;                    // of the master
    double formulaWeight;          // g/mol, from the database's own atomic weights
    ActivityRule rule;             // of the master
};
extern const std::array<Component, masterCount> components;

inline constexpr ActivityRule hydrogenRule{ActivityRule::debyeHuckel, 9, 0};
// Weights of what is reported back or counted in the solute mass, g/mol.
inline constexpr double hco3Weight = 61.0191, co3Weight = 60.0111, hydrogenWeight = 1.008, hydroxideWeight = 17.008;

// log K of a reaction at a temperature: the analytic expression
//   log K = A1 + A2 T + A3 / T + A4 log10 T + A5 / T² + A6 T²   (T in K)
// where the database gives one; otherwise van 't Hoff from 25 °C with a constant enthalpy.
struct TemperatureFunction {
    double logK25;                  // at 298.15 K
    double deltaH;                  // reaction enthalpy, kJ/mol
    bool analytic;
    std::array<double, 6> a{};      // A1..A6
};
double logK(const TemperatureFunction& function, double kelvin);

struct Term {
    Master master;
    int coefficient;  // 0: no term
};

// A species and the reaction that forms it, both as the database writes it and in masters:
//   Σ coefficient·master + hydrogen·H+ + water·H2O = species
// (a negative coefficient on the right-hand side). Where the database writes the reaction with
// a species that is not a master, `with` names that species' reaction, added `times` times.
struct Species {
    std::string_view name;
    int charge;
    std::string_view reaction;  // as written in the database
    std::array<Term, 2> masters;
    int hydrogen;
    int water;
    TemperatureFunction constants;  // of the reaction as written
    int with;                       // index in `species`, or -1
    int times;
    ActivityRule rule;
    std::string_view source;
};
inline constexpr int speciesCount = 60;
extern const std::array<Species, speciesCount> species;

// log K of species i's reaction in masters at a temperature (K).
double logKInMasters(int i, double kelvin);

// Water at a temperature: at 1 atm, or on the saturation line above the boiling point.
double saturationPressure(double kelvin);          // atm, Antoine
double saturatedDensity(double kelvin);            // kg/m³, Wagner and Pruss 2002, 0 to 374 °C
double density(double kelvin, double atmospheres);  // kg/m³, compressibility fit, 0 to 300 °C
double dielectricConstant(double kelvin, double atmospheres);  // Bradley and Pitzer 1979, 0 to 350 °C

struct DebyeHuckel {
    double A;  // kg^½ mol^-½
    double B;  // kg^½ mol^-½ per Å
};
DebyeHuckel debyeHuckel(double kelvin);

}  // namespace zelk::workbench::aqueous
