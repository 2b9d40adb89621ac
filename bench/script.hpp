// The floor's script: a recorded run's reads and writes in their order, one step each.
#pragma once

#include <cstdint>

namespace zelk::bench {

enum Channel : std::uint32_t {
    input = 0,     // a read of standard input; bytes is the capacity asked for
    output = 1,    // a write to standard output
    errors = 2,    // a write to standard error
    file = 3,      // a write to the output file
};

// Four bytes a step, so that the script costs the floor little to map.
struct Step {
    std::uint32_t channel : 3;
    std::uint32_t bytes : 29;
};

}  // namespace zelk::bench
