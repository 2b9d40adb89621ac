// zelkfile template.
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view templateHelp = "usage: zelkfile template\n";

int printTemplate(Arguments, ByteSink&, ByteSink& errors) {
    errors.write("zelkfile: template is not built yet\n");
    return failed;
}

}  // namespace zelk::workbench
