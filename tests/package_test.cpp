// Installation and the Debian package: what `cmake --install` puts under a prefix, and a
// package built by CPack, unpacked with dpkg-deb and run on a worked example.
#include <filesystem>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "support/harness.hpp"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const fs::path source = ZELK_SOURCE_DIR;
const fs::path build = fs::path(ZELK_BINARY).parent_path();
const std::string example = "water-1-mgkg";

std::string shellWord(const fs::path& path) { return "'" + path.string() + "'"; }

// The version that the program announces in its banner.
std::string bannerVersion() {
    TempDir folder;
    std::smatch found;
    const std::string out = runProgram(folder.path(), "").out;
    return std::regex_search(out, found, std::regex(" Program ZELK, version ([0-9.]+),")) ? found[1].str() : "?";
}

// Runs program in a fresh folder on the example's answers; compares with what is kept.
void expectExampleRuns(const fs::path& program) {
    TempDir folder;
    const fs::path base = source / "examples" / example;
    const auto [errors, status] = runShell("cd " + shellWord(folder.path()) + " && " + shellWord(program) + " <" +
                                        shellWord(base.string() + ".answers") + " >console");
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(errors, "");
    EXPECT_EQ(readFile(folder.file("console")), readFile(base.string() + ".console"));
    EXPECT_EQ(readFile(folder.file("kavix.in")), readFile(base.string() + ".out"));
}

// Runs zelkfile on the worked table; compares with the output file kept beside it.
void expectTableImports(const fs::path& program) {
    TempDir folder;
    const fs::path table = source / "examples" / "lab-table";
    const auto [errors, status] = runShell(shellWord(program) + " import " + shellWord(table.string() + ".csv") +
                                           " -o " + shellWord(folder.file("out")));
    EXPECT_EQ(status, 0) << errors;
    EXPECT_EQ(readFile(folder.file("out")), readFile(table.string() + ".out"));
}

TEST(Install, PutsProgramManualAndDocumentationUnderThePrefix) {
    TempDir prefix;
    const auto [log, status] = runShell("cmake --install " + shellWord(build) + " --prefix " + shellWord(prefix.path()));
    ASSERT_EQ(status, 0) << log;
    const fs::path root = prefix.path();
    EXPECT_EQ(readFile((root / "share/man/man1/zelk.1").string()), readFile((source / "zelk.1").string()));
    EXPECT_EQ(readFile((root / "share/doc/zelk/README.md").string()), readFile((source / "README.md").string()));
    for (const fs::directory_entry& entry : fs::directory_iterator(source / "examples")) {
        if (entry.path().extension() != ".answers") continue;
        for (const char* kind : {".answers", ".console", ".out"}) {
            const fs::path name = entry.path().stem().string() + kind;
            EXPECT_TRUE(fs::exists(root / "share/doc/zelk/examples" / name)) << name;
        }
    }
    expectExampleRuns(root / "bin/zelk");
    EXPECT_EQ(readFile((root / "share/man/man1/zelkfile.1").string()), readFile((source / "zelkfile.1").string()));
    expectTableImports(root / "bin/zelkfile");
}

class Package : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempDir;
        const auto [log, status] = runShell("cpack -G DEB --config " + shellWord(build / "CPackConfig.cmake") + " -B " +
                                         shellWord(folder_->path()));
        ASSERT_EQ(status, 0) << log;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_->path()))
            if (entry.path().extension() == ".deb") deb_ = entry.path();
        ASSERT_FALSE(deb_.empty()) << log;
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static std::string field(const std::string& name) {
        std::string value = runShell("dpkg-deb -f " + shellWord(deb_) + " " + name).first;
        while (!value.empty() && value.back() == '\n') value.pop_back();
        return value;
    }

    static inline TempDir* folder_ = nullptr;
    static inline fs::path deb_;
};

TEST_F(Package, NamesItselfAndItsVersionFromTheBanner) {
    EXPECT_EQ(field("Package"), "zelk");
    EXPECT_EQ(field("Version"), bannerVersion());
    EXPECT_EQ(deb_.filename().string().rfind("zelk_" + bannerVersion() + "_", 0), 0u) << deb_;
    EXPECT_NE(field("Maintainer"), "");
    EXPECT_NE(field("Description").find("geothermal"), std::string::npos);
    EXPECT_NE(field("Depends").find("libc6"), std::string::npos);
    EXPECT_NE(field("Depends").find("libcsv"), std::string::npos);
}

TEST_F(Package, UnpacksToAProgramThatRunsAnExample) {
    TempDir root;
    const auto [log, status] = runShell("dpkg-deb -x " + shellWord(deb_) + " " + shellWord(root.path()));
    ASSERT_EQ(status, 0) << log;
    const fs::path usr = fs::path(root.path()) / "usr";
    EXPECT_TRUE(fs::exists(usr / "share/doc/zelk/README.md"));
    EXPECT_TRUE(fs::exists(usr / "share/doc/zelk/examples" / (example + ".answers")));
    expectExampleRuns(usr / "bin/zelk");
    expectTableImports(usr / "bin/zelkfile");
}

TEST_F(Package, CarriesTheManualGzippedWithoutNameOrTime) {
    TempDir root;
    ASSERT_EQ(runShell("dpkg-deb -x " + shellWord(deb_) + " " + shellWord(root.path())).second, 0);
    const fs::path man = fs::path(root.path()) / "usr/share/man/man1";
    EXPECT_FALSE(fs::exists(man / "zelk.1"));
    const std::string gz = readFile((man / "zelk.1.gz").string());
    ASSERT_GE(gz.size(), 10u);
    EXPECT_EQ(gz.substr(0, 3), "\x1f\x8b\x08");
    EXPECT_EQ(gz[3] & 0x08, 0) << "the original file name is stored";
    EXPECT_EQ(gz.substr(4, 4), std::string(4, '\0')) << "a time stamp is stored";
    EXPECT_EQ(gz[8], 2) << "not compressed with -9";
    EXPECT_EQ(runShell("gzip -dc " + shellWord(man / "zelk.1.gz")).first, readFile((source / "zelk.1").string()));
    EXPECT_EQ(runShell("gzip -dc " + shellWord(man / "zelkfile.1.gz")).first, readFile((source / "zelkfile.1").string()));
}

}  // namespace
}  // namespace zelk::test
