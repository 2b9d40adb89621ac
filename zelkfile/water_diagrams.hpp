// Three more pictures of the report's page: Giggenbach's Cl-SO4-HCO3 triangle, and the
// enthalpy-chloride and silica-enthalpy diagrams of the total discharge.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "record/sample.hpp"
#include "zelkfile/diagram.hpp"
#include "zelkfile/geothermometers.hpp"

namespace zelk::workbench {

// The enthalpy of the total discharge, kJ/kg: the fluid enthalpy where the block gives one
// (not 0), else, for a sample taken at 0 bar-g, that of saturated liquid water at the
// sampling temperature (IAPWS-IF97); else (a lost or negative enthalpy among them) empty.
std::optional<double> dischargeEnthalpy(const SampleRecord& sample);

// The quartz solubility curve: for 25 to 350 °C in steps of 5, the enthalpy of saturated
// liquid water there and the silica (mg/kg) at which the report's quartz geothermometer
// (Fournier and Potter 1982) gives that temperature.
struct CurvePoint {
    double celsius, enthalpy, silica;
};
std::vector<CurvePoint> quartzSolubility();

// Giggenbach's (1991) Cl-SO4-HCO3 triangle: the relative proportions of Cl, SO4 and HCO3 in
// mg/kg, HCO3 the bicarbonate ion of the water at its pH and pH temperature.
class ClSO4HCO3Triangle {
public:
    void stream() { samples_.stream(); }
    // A sample whose hco3 is empty (not known) is not drawn.
    void sample(const PictureSample& sample);
    // Streamed, replay hands the samples again; false when it fails.
    bool draw(Markup& svg, std::span<const ReportedFile> files, const Replay& replay = {}) const;
    std::string caption() const;
    const PlottedSamples& samples() const { return samples_; }

private:
    PlottedSamples samples_;
};

// Across, the chloride of the total discharge, Cl (1 - x), mg/kg; up, its enthalpy.
class EnthalpyChlorideDiagram {
public:
    void stream() { samples_.stream(); }
    void sample(const PictureSample& sample);
    bool draw(Markup& svg, std::span<const ReportedFile> files, const Replay& replay = {}) const;
    std::string caption() const;
    const PlottedSamples& samples() const { return samples_; }

private:
    PlottedSamples samples_;
};

// After Fournier and Truesdell (1974): across, the enthalpy of the total discharge; up, its
// silica, SiO2 (1 - x), mg/kg; with the quartz solubility curve.
class SilicaEnthalpyDiagram {
public:
    void stream() { samples_.stream(); }
    void sample(const PictureSample& sample);
    bool draw(Markup& svg, std::span<const ReportedFile> files, const Replay& replay = {}) const;
    std::string caption() const;
    const PlottedSamples& samples() const { return samples_; }

private:
    PlottedSamples samples_;
};

}  // namespace zelk::workbench
