// The Debian package as CPack builds it from this build tree, read back with
// dpkg-deb: its control fields, its control archive and its files.
//
// This build stands in for the optimised one that `make package` uses. Its
// install rules and package settings are the same; only what dpkg-shlibdeps
// finds in the programs differs: a sanitizer build links libasan and libubsan,
// which the cases below expect exactly when this build is one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>

#include "tests/install/Command.h"
#include "tests/install/InstalledFiles.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;
using namespace tonarel::test;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

std::string WithoutTrailingNewline(std::string text)
{
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

// The package names of a relationship field ("a (>= 1), b | c" gives a, b, c).
std::set<std::string> PackageNames(const std::string& field)
{
    std::set<std::string> names;
    std::string name;
    bool inName = true;
    for (const char c : field + ",") {
        if (c == ',' || c == '|') {
            if (!name.empty()) {
                names.insert(name);
            }
            name.clear();
            inName = true;
        } else if (c == ' ' || c == '(') {
            inName = name.empty() && c == ' ';
        } else if (inName) {
            name += c;
        }
    }
    return names;
}

class DebianPackage : public ::testing::Test {
protected:
    // One package for all cases; gzip instead of xz keeps the build quick,
    // and the cases do not depend on the compression.
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<TemporaryDirectory>(TemporaryDirectory::Enter::kNo);
        cpack_ = RunCommand({TONAREL_CPACK, "-G", "DEB", "--config", TONAREL_BUILD_DIR "/CPackConfig.cmake", "-B",
                             folder_->Path().string(), "-D", "CPACK_DEBIAN_COMPRESSION_TYPE=gzip"});
        for (const auto& entry : fs::directory_iterator(folder_->Path())) {
            if (entry.path().extension() == ".deb") {
                package_ = entry.path();
            }
        }
    }
    static void TearDownTestSuite() { folder_.reset(); }
    void SetUp() override
    {
        ASSERT_EQ(cpack_.exitStatus, 0) << cpack_.output;
        ASSERT_FALSE(package_.empty()) << cpack_.output;
    }

    static std::string Field(const std::string& name)
    {
        return WithoutTrailingNewline(RunCommand({"dpkg-deb", "--field", package_.string(), name}).output);
    }
    static fs::path Scratch() { return folder_->Path(); }
    static const fs::path& Package() { return package_; }

private:
    static inline std::unique_ptr<TemporaryDirectory> folder_;
    static inline CommandResult cpack_;
    static inline fs::path package_;
};

TEST_F(DebianPackage, ControlFieldsNameTheProgramThisVersionAndNoWebAddress)
{
    const std::string architecture = WithoutTrailingNewline(RunCommand({"dpkg", "--print-architecture"}).output);
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"Package", "tonarel"},
        {"Version", TONAREL_VERSION},
        {"Architecture", architecture},
        {"Section", "sound"},
        {"Priority", "optional"},
        {"Maintainer", "The Tonarel developers"},
        // There is no site to point to, and no field may invent one.
        {"Homepage", ""},
    };
    for (const auto& [name, value] : fields) {
        EXPECT_EQ(Field(name), value) << name;
    }
    EXPECT_EQ(Package().filename().string(), "tonarel_" TONAREL_VERSION "_" + architecture + ".deb");
}

TEST_F(DebianPackage, DescriptionHasASynopsisALongTextAndTheLicence)
{
    std::istringstream lines(Field("Description"));
    std::string synopsis, line;
    std::getline(lines, synopsis);
    EXPECT_FALSE(synopsis.empty());
    EXPECT_LE(synopsis.size(), 80u) << synopsis;
    int longLines = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(line.starts_with(" ")) << "not a continuation line: " << line;
        ++longLines;
    }
    EXPECT_GE(longLines, 3);
    EXPECT_THAT(Field("Description"), HasSubstr("GPL-3.0-or-later"));
}

// dpkg-shlibdeps supplies the libraries the programs link; the package adds
// what they load or show without a link.
TEST_F(DebianPackage, DependsOnTheLinkedLibrariesTheFontAndQtsTranslations)
{
    const std::set<std::string> depends = PackageNames(Field("Depends"));
    EXPECT_THAT(depends, IsSupersetOf({"libc6", "libstdc++6", "libqt6core6", "libqt6widgets6", "libqt6multimedia6",
                                       "libpulse0", "fonts-wqy-microhei", "qt6-translations-l10n"}));
    for (const char* sanitizerLibrary : {"libasan8", "libubsan1"}) {
        EXPECT_EQ(depends.contains(sanitizerLibrary), TONAREL_SANITIZED) << sanitizerLibrary;
    }
    EXPECT_EQ(PackageNames(Field("Recommends")), (std::set<std::string>{"pipewire-pulse", "pulseaudio"}));
}

TEST_F(DebianPackage, HasNoMaintainerScripts)
{
    const fs::path control = Scratch() / "control";
    const CommandResult extract = RunCommand({"dpkg-deb", "--control", Package().string(), control.string()});
    ASSERT_EQ(extract.exitStatus, 0) << extract.output;
    EXPECT_EQ(RegularFilesBelow(control), (std::vector<std::string>{"control", "md5sums"}));
}

// Every file of the install tree under /usr, owned by root, programs
// executable and everything else read-only for all but root.
TEST_F(DebianPackage, HoldsTheInstallTreeUnderUsrOwnedByRoot)
{
    const CommandResult listing = RunCommand({"dpkg-deb", "--contents", Package().string()});
    ASSERT_EQ(listing.exitStatus, 0) << listing.output;
    std::vector<std::string> files;
    std::istringstream lines(listing.output);
    std::string mode, owner, size, date, time, path;
    while (lines >> mode >> owner >> size >> date >> time >> path) {
        EXPECT_EQ(owner, "root/root") << path;
        if (mode.starts_with("d")) {
            EXPECT_EQ(mode, "drwxr-xr-x") << path;
            continue;
        }
        ASSERT_TRUE(path.starts_with("./usr/")) << path;
        files.push_back(path.substr(6));
        EXPECT_EQ(mode, files.back().starts_with("bin/") ? "-rwxr-xr-x" : "-rw-r--r--") << path;
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, ExpectedInstalledFiles());
}

TEST_F(DebianPackage, CopyrightFileStatesTheLicence)
{
    const fs::path tree = Scratch() / "tree";
    const CommandResult extract = RunCommand({"dpkg-deb", "--extract", Package().string(), tree.string()});
    ASSERT_EQ(extract.exitStatus, 0) << extract.output;
    const std::string copyright = ReadWholeFile(tree / "usr/share/doc/tonarel/copyright");
    EXPECT_THAT(copyright, HasSubstr("License: GPL-3.0-or-later\n"));
    EXPECT_THAT(copyright, HasSubstr("/usr/share/common-licenses/GPL-3"));
    EXPECT_THAT(copyright, Not(HasSubstr("@")));
}

}  // namespace
