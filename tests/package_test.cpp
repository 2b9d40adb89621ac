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

TEST(Install, PutsProgramManualAndDocumentationUnderThePrefix) {
    TempDir prefix;
    const auto [log, status] = runShell("cmake --install " + shellWord(build) + " --prefix " + shellWord(prefix.path()));
    ASSERT_EQ(status, 0) << log;
    const fs::path root = prefix.path();
    EXPECT_EQ(readFile((root / "share/man/man1/zelk.1").string()), readFile((source / "zelk.1").string()));
    const std::string readme = readFile((root / "share/doc/zelk/README.md").string());
    EXPECT_EQ(readme, readFile((source / "README.md").string()));
    EXPECT_FALSE(std::regex_search(readme, std::regex("build/zelk[^_]"))) << "the README names the program as installed";
    EXPECT_EQ(readFile((root / "share/doc/zelk/copyright").string()),
              readFile((source / "packaging/copyright").string()));
    for (const fs::directory_entry& entry : fs::directory_iterator(source / "examples")) {
        if (entry.path().extension() != ".answers") continue;
        for (const char* kind : {".answers", ".console", ".out"}) {
            const fs::path name = entry.path().stem().string() + kind;
            EXPECT_TRUE(fs::exists(root / "share/doc/zelk/examples" / name)) << name;
        }
    }
    expectExampleRuns(root / "bin/zelk");

    // Uninstalling leaves folders alone, and none of the program's own.
    const auto [removed, removal] = runShell("cmake --build " + shellWord(build) + " --target uninstall");
    ASSERT_EQ(removal, 0) << removed;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        EXPECT_TRUE(entry.is_directory()) << entry.path() << " left behind";
    EXPECT_FALSE(fs::exists(root / "share/doc/zelk"));
}

class Package : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // CPack finds the libraries the program needs with file and dpkg-shlibdeps.
        missing_ = missingTool({{"dpkg-deb", "dpkg"}, {"dpkg-shlibdeps", "dpkg-dev"}, {"file", "file"}});
        if (!missing_.empty()) return;
        folder_ = new TempDir;
        const auto [log, status] = runShell("cpack -G DEB --config " + shellWord(build / "CPackConfig.cmake") + " -B " +
                                         shellWord(folder_->path()));
        ASSERT_EQ(status, 0) << log;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_->path()))
            if (entry.path().extension() == ".deb") deb_ = entry.path();
        ASSERT_FALSE(deb_.empty()) << log;
    }
    void SetUp() override {
        if (!missing_.empty()) GTEST_SKIP() << missing_;
        ASSERT_FALSE(deb_.empty()) << "no package was built";
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

    static inline std::string missing_;
    static inline TempDir* folder_ = nullptr;
    static inline fs::path deb_;
};

TEST_F(Package, NamesItselfAndItsVersionFromTheBanner) {
    EXPECT_EQ(field("Package"), "zelk");
    EXPECT_EQ(field("Version"), bannerVersion());
    EXPECT_EQ(deb_.filename().string().rfind("zelk_" + bannerVersion() + "_", 0), 0u) << deb_;
    EXPECT_EQ(field("Maintainer").rfind("ZELK developers <", 0), 0u) << field("Maintainer");
    EXPECT_NE(field("Description").find("geothermal"), std::string::npos);
    EXPECT_NE(field("Depends").find("libc6"), std::string::npos);
}

TEST_F(Package, UnpacksToAProgramThatRunsAnExample) {
    TempDir root;
    const auto [log, status] = runShell("dpkg-deb -x " + shellWord(deb_) + " " + shellWord(root.path()));
    ASSERT_EQ(status, 0) << log;
    const fs::path usr = fs::path(root.path()) / "usr";
    EXPECT_TRUE(fs::exists(usr / "share/doc/zelk/README.md"));
    EXPECT_TRUE(fs::exists(usr / "share/doc/zelk/examples" / (example + ".answers")));
    expectExampleRuns(usr / "bin/zelk");
}

TEST_F(Package, CarriesTheManualAndChangelogGzippedWithoutNameOrTime) {
    TempDir root;
    ASSERT_EQ(runShell("dpkg-deb -x " + shellWord(deb_) + " " + shellWord(root.path())).second, 0);
    const fs::path usr = fs::path(root.path()) / "usr";
    const struct {
        fs::path packed;
        fs::path original;
    } files[] = {
        {"share/man/man1/zelk.1", source / "zelk.1"},
        {"share/doc/zelk/changelog", source / "packaging/changelog"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.packed);
        EXPECT_FALSE(fs::exists(usr / file.packed));
        const fs::path packed = usr / (file.packed.string() + ".gz");
        const std::string gz = readFile(packed.string());
        ASSERT_GE(gz.size(), 10u);
        EXPECT_EQ(gz.substr(0, 3), "\x1f\x8b\x08");
        EXPECT_EQ(gz[3] & 0x08, 0) << "the original file name is stored";
        EXPECT_EQ(gz.substr(4, 4), std::string(4, '\0')) << "a time stamp is stored";
        EXPECT_EQ(gz[8], 2) << "not compressed with -9";
        EXPECT_EQ(runShell("gzip -dc " + shellWord(packed)).first, readFile(file.original.string()));
    }
    EXPECT_EQ(readFile((usr / "share/doc/zelk/copyright").string()), readFile((source / "packaging/copyright").string()));
}

// The changelog names the version the banner announces, as Debian's tools read it.
TEST_F(Package, ChangelogIsOfThisVersion) {
    const auto [version, status] =
        runShell("dpkg-parsechangelog -S Version -l " + shellWord(source / "packaging/changelog"));
    ASSERT_EQ(status, 0) << version;
    EXPECT_EQ(version, bannerVersion() + "\n");
}

TEST_F(Package, LintianFindsNoError) {
    if (const std::string missing = missingTool({{"lintian", "lintian"}}); !missing.empty()) GTEST_SKIP() << missing;
    const std::string report = "\n" + runShell("lintian " + shellWord(deb_)).first;
    EXPECT_EQ(report.find("\nE: "), std::string::npos) << report;
}

}  // namespace
}  // namespace zelk::test
