// Clearing of the steam-phase fields for a sample without a steam phase.
#include "record/sample.hpp"

namespace zelk {

void nostm(GasVolume& gasVolume, float& gasPerCondensate, float& gasTemperature, SteamConc& steamConc,
           float& condensatePh, float& condensatePhTemperature, CondensateConc& condensateConc) {
    gasVolume.values.fill(0);
    gasPerCondensate = 0;
    gasTemperature = 0;
    steamConc.values.fill(0);
    condensatePh = 0;
    condensatePhTemperature = 0;
    condensateConc.values.fill(0);
}

}  // namespace zelk
