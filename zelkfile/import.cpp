// zelkfile import.
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view importHelp = "usage: zelkfile import\n";

int importTable(Arguments, ByteSink&, ByteSink& errors) {
    errors.write("zelkfile: import is not built yet\n");
    return failed;
}

}  // namespace zelk::workbench
