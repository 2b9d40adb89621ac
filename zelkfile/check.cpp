// zelkfile check.
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view checkHelp = "usage: zelkfile check\n";

int checkFiles(Arguments, ByteSink&, ByteSink& errors) {
    errors.write("zelkfile: check is not built yet\n");
    return failed;
}

}  // namespace zelk::workbench
