// zelkfile export.
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view exportHelp = "usage: zelkfile export\n";

int exportFile(Arguments, ByteSink&, ByteSink& errors) {
    errors.write("zelkfile: export is not built yet\n");
    return failed;
}

}  // namespace zelk::workbench
