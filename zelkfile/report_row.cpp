// The columns of the report and the row of one sample.
#include "zelkfile/report_row.hpp"

#include "zelkfile/charge_balance.hpp"
#include "zelkfile/geothermometers.hpp"

namespace zelk::workbench {

namespace {

// What a sample's columns are read from; checks of later kinds add their results here.
struct SampleValues {
    Geothermometers g;
    ChargeBalance b;
};

struct ColumnSource {
    ReportColumn column;
    std::optional<double> (*value)(const SampleValues&);
    std::string_view (*text)(const SampleValues&) = nullptr;  // a column of words instead
};

using V = SampleValues;

const ColumnSource sources[] = {
    {{"x", "steam_fraction", 3, 5, 1, "steam fraction at sampling (IAPWS-IF97, at the sampling pressure + 1.01325 bar)"},
     [](const V& v) { return v.g.steamFraction; }},
    {{"Qz", "quartz", 0, 5, 1, "quartz, conductive cooling (Fournier and Potter 1982)"},
     [](const V& v) { return v.g.quartz; }},
    {{"QzSL", "quartz_steam_loss", 0, 5, 1, "quartz, maximum steam loss, on the water separated at 100 degrees C (Fournier 1977)"},
     [](const V& v) { return v.g.quartzSteamLoss; }},
    {{"Chal", "chalcedony", 0, 5, 1, "chalcedony (Fournier 1977)"}, [](const V& v) { return v.g.chalcedony; }},
    {{"aCri", "alpha_cristobalite", 0, 5, 1, "alpha-cristobalite (Fournier 1977)"},
     [](const V& v) { return v.g.alphaCristobalite; }},
    {{"bCri", "beta_cristobalite", 0, 5, 1, "beta-cristobalite (Fournier 1977)"},
     [](const V& v) { return v.g.betaCristobalite; }},
    {{"Amor", "amorphous_silica", 0, 5, 1, "amorphous silica (Fournier 1977)"},
     [](const V& v) { return v.g.amorphousSilica; }},
    {{"NaKF", "na_k_fournier", 0, 5, 2, "Na/K (Fournier 1979)"}, [](const V& v) { return v.g.naKFournier; }},
    {{"NaKG", "na_k_giggenbach", 0, 5, 2, "Na/K (Giggenbach 1988)"}, [](const V& v) { return v.g.naKGiggenbach; }},
    {{"NaKT", "na_k_truesdell", 0, 5, 2, "Na/K (Truesdell 1976)"}, [](const V& v) { return v.g.naKTruesdell; }},
    {{"KMg", "k_mg", 0, 5, 2, "K/Mg (Giggenbach 1988)"}, [](const V& v) { return v.g.kMg; }},
    {{"NaKCa", "na_k_ca", 0, 5, 2, "Na-K-Ca (Fournier and Truesdell 1973)"}, [](const V& v) { return v.g.naKCa; }},
    {{"MI", "maturity_index", 2, 5, 2,
      "maturity index (Giggenbach 1988): 2.66 or more full equilibrium,\n"
      "2.0 to 2.66 partial equilibrium, below 2.0 immature water"},
     [](const V& v) { return v.g.maturityIndex; }},
    {{"maturity", "maturity", 0, 19, 2, "the class of MI", true}, [](const V&) { return std::optional<double>(); },
     [](const V& v) { return v.g.maturityIndex ? name(maturity(*v.g.maturityIndex)) : std::string_view(); }},
    {{"QzL", "quartz_liquid", 0, 5, 1,
      "quartz of the reservoir liquid, boiled on its way up to the sampling pressure:\n"
      "T = Qz(SiO2 (1 - x(T))) (Fournier and Potter 1982; IAPWS-IF97)"},
     [](const V& v) { return v.g.quartzLiquid; }},
    {{"ExH", "excess_enthalpy", 1, 7, 1, "excess enthalpy, kJ/kg: the fluid enthalpy less h' of liquid water at QzL"},
     [](const V& v) { return v.g.excessEnthalpy; }},
    {{"NaKCaMg", "na_k_ca_mg", 0, 7, 2, "Na-K-Ca with the Mg correction (Fournier and Potter 1979)"},
     [](const V& v) { return v.g.naKCaMg; }},
    {{"ClRes", "reservoir_chloride", 0, 6, 1, "chloride of the reservoir liquid at QzL, mg/kg: Cl (1 - x(QzL))"},
     [](const V& v) { return v.g.reservoirChloride; }},
    {{"I", "ionic_strength", 4, 6, 0, "ionic strength of the water at its pH temperature, mol/kg of water"},
     [](const V& v) { return v.b.ionicStrength; }},
    {{"Cat", "cations", 2, 7, 0, "cations, meq/kg of water: every species, H+ included"},
     [](const V& v) { return v.b.cations; }},
    {{"An", "anions", 2, 7, 0, "anions, meq/kg of water: every species, OH- included"},
     [](const V& v) { return v.b.anions; }},
    {{"CB%", "charge_balance", 1, 6, 2,
      "charge balance, %: 100 (cations - anions) / (cations + anions), the water speciated\n"
      "at its pH temperature; beyond 5 % either way a note says so"},
     [](const V& v) { return v.b.chargeBalance; }},
    {{"HCO3", "hco3", 0, 6, 0, "bicarbonate ion at the pH and its temperature, mg/kg"},
     [](const V& v) { return v.b.hco3; }},
    {{"CO3", "co3", 0, 6, 0, "carbonate ion at the pH and its temperature, mg/kg"},
     [](const V& v) { return v.b.co3; }},
};

const std::vector<ReportColumn> columns = [] {
    std::vector<ReportColumn> list;
    for (const ColumnSource& source : sources) list.push_back(source.column);
    return list;
}();

}  // namespace

std::span<const ReportColumn> reportColumns() { return columns; }

ReportRow reportRow(const SampleRecord& sample) {
    SampleValues values{geothermometers(sample), chargeBalance(sample)};
    ReportRow row;
    row.cells.reserve(std::size(sources));
    for (std::size_t i = 0; i < std::size(sources); ++i) {
        const ColumnSource& source = sources[i];
        ReportCell cell{&columns[i], source.value(values)};
        if (source.text) cell.text = source.text(values);
        const std::optional<double> limit = calibrationLimit(source.column.csvName);
        cell.inRange = !(limit && cell.value && *cell.value > *limit);
        row.cells.push_back(cell);
    }
    row.notes = std::move(values.g.notes);
    row.geothermometers = std::move(values.g);
    for (std::string& note : values.b.notes) row.notes.push_back(std::move(note));
    return row;
}

std::optional<double> ReportRow::value(std::string_view csvName) const {
    for (const ReportCell& cell : cells)
        if (cell.column->csvName == csvName) return cell.value;
    return std::nullopt;
}

std::string joinedNotes(const std::vector<std::string>& notes) {
    std::string text;
    for (const std::string& note : notes) {
        if (!text.empty()) text += "; ";
        text += note;
    }
    return text;
}

}  // namespace zelk::workbench
