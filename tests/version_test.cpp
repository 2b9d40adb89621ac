// The version is written once, in the build's project(): the banner, --version, both manual
// pages, the package and its changelog all carry that one.
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

const std::string source = ZELK_SOURCE_DIR;
const std::string version = ZELK_VERSION;

// The first match's group 1 of pattern in text, or a note that there is none.
std::string found(const std::string& text, const std::string& pattern) {
    std::smatch match;
    return std::regex_search(text, match, std::regex(pattern)) ? match[1].str() : "(not found: " + pattern + ")";
}

TEST(Version, EveryPlaceCarriesTheProjectVersion) {
    TempDir folder;
    const std::string screens = runProgram(folder.path(), "").out;
    const auto [shown, status] = runShell("'" + std::string(ZELK_BINARY) + "' --version");
    ASSERT_EQ(status, 0) << shown;
    const std::string zelkfile = std::string(ZELK_BINARY).substr(0, std::string(ZELK_BINARY).rfind('/')) + "/zelkfile";
    const auto [workbench, workbenchStatus] = runShell("'" + zelkfile + "' --version");
    ASSERT_EQ(workbenchStatus, 0) << workbench;
    // The package is described by what CMake wrote for CPack beside the program.
    const std::string build = std::string(ZELK_BINARY).substr(0, std::string(ZELK_BINARY).rfind('/'));
    const std::string zelkPage = readFile(source + "/zelk.1"), zelkfilePage = readFile(source + "/zelkfile.1");
    const struct {
        const char* where;
        std::string says;
    } places[] = {
        {"the banner", found(screens, "\n Program ZELK, version ([0-9.]+),  April 2002\\.\n")},
        {"zelk --version", found(shown, "^zelk ([0-9.]+)\n$")},
        {"zelkfile --version", found(workbench, "^zelkfile ([0-9.]+)\n$")},
        {"zelk.1, its title", found(zelkPage, "\n\\.TH ZELK 1 \"[^\"]*\" \"ZELK ([0-9.]+)\"")},
        {"zelk.1, on --version", found(zelkPage, "\n\\.BR \"zelk ([0-9.]+)\" ;\n")},
        {"zelk.1, its banner", found(zelkPage, "\n Program ZELK, version ([0-9.]+),  April 2002\\.\n")},
        {"zelkfile.1, its title", found(zelkfilePage, "\n\\.TH ZELKFILE 1 \"[^\"]*\" \"ZELK ([0-9.]+)\"")},
        {"the package", found(readFile(build + "/CPackConfig.cmake"), "\nset\\(CPACK_PACKAGE_VERSION \"([^\"]*)\"\\)")},
        {"the changelog", found(readFile(source + "/packaging/changelog"), "^zelk \\(([^)]*)\\) ")},
    };
    for (const auto& place : places) EXPECT_EQ(place.says, version) << place.where;
}

}  // namespace
}  // namespace zelk::test
