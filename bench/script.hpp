// The floor's script: a recorded run's reads and writes in one order, one step each. The
// program's two processes are merged: the writer's read of a block from the pipe follows the
// dialogue's write of it, and the writer's write of it to the file follows the read.
#pragma once

#include <cstdint>

namespace zelk::bench {

enum Channel : std::uint32_t {
    input = 0,     // a read of standard input; bytes is the capacity asked for
    output = 1,    // a write to standard output
    errors = 2,    // a write to standard error
    file = 3,      // a write to the output file (the writer's)
    toPipe = 4,    // a write of a block into the pipe (the dialogue's)
    fromPipe = 5,  // a read from the pipe (the writer's); bytes is what it got, 0 at its end
};

// Four bytes a step, so that the script costs the floor little to map.
struct Step {
    std::uint32_t channel : 3;
    std::uint32_t bytes : 29;
};

}  // namespace zelk::bench
