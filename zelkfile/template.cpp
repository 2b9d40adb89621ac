// zelkfile template: the header row with every column, for a lab to paste its data under.
#include "zelkfile/columns.hpp"
#include "zelkfile/csv.hpp"
#include "zelkfile/verbs.hpp"

namespace zelk::workbench {

const std::string_view templateHelp =
    "usage: zelkfile template [> TABLE.csv]\n"
    "\n"
    "Prints the header row of a table for zelkfile import, with every column, separated by\n"
    "commas. Every column is optional: delete those a lab does not need.\n"
    "\n"
    "exit status: 0 printed, 2 an error in the command\n";

std::string headerRow(char separator) {
    std::string row;
    for (const Column& column : columns) {
        if (!row.empty()) row += separator;
        appendCell(row, column.name, separator);
    }
    row += '\n';
    return row;
}

int printTemplate(Arguments arguments, ByteSink& out, ByteSink& errors) {
    if (!arguments.empty()) {
        errors.write("usage: zelkfile template\n");
        return failed;
    }
    out.write(headerRow(','));
    return done;
}

}  // namespace zelk::workbench
