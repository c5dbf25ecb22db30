// The install tree as `cmake --install` lays it out on a user's system, read
// the way the desktop's tools read it: the validators of the desktop entry and
// the AppStream metainfo, the icon theme's folders, man and groff for the
// manual pages, a browser's relative links for the user's guide.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "tests/install/Command.h"
#include "tests/install/InstalledFiles.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

namespace fs = std::filesystem;
using namespace tonarel::test;
using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

const std::string kId = kApplicationId;

// The keys of the [Desktop Entry] group.
std::map<std::string, std::string> DesktopEntryKeys(const std::string& text)
{
    std::map<std::string, std::string> keys;
    std::istringstream lines(text);
    std::string line;
    bool inEntryGroup = false;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            inEntryGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inEntryGroup && equals != std::string::npos) {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

// The first submatch of every match of `pattern` in `text`, in order.
std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern)
{
    std::vector<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[1].str());
    }
    return found;
}

struct PngSize {
    uint32_t width = 0, height = 0;
    bool operator==(const PngSize&) const = default;
};

// The size in a PNG's header; 0 × 0 for anything that is not a PNG.
PngSize SizeOfPng(const fs::path& file)
{
    const std::string bytes = ReadWholeFile(file);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0) {
        return {};
    }
    const auto bigEndian = [&bytes](std::size_t at) {
        uint32_t value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
        }
        return value;
    };
    return {bigEndian(16), bigEndian(20)};
}

class InstallTree : public ::testing::Test {
protected:
    // One installation for all cases: they only read it.
    static void SetUpTestSuite()
    {
        root_ = std::make_unique<TemporaryDirectory>(TemporaryDirectory::Enter::kNo);
        install_ = RunCommand({TONAREL_CMAKE, "--install", TONAREL_BUILD_DIR, "--prefix", Prefix().string()});
    }
    static void TearDownTestSuite() { root_.reset(); }
    void SetUp() override { ASSERT_EQ(install_.exitStatus, 0) << install_.output; }

    static fs::path Root() { return root_->Path(); }
    static fs::path Prefix() { return Root() / "usr"; }
    static fs::path Installed(const std::string& relative) { return Prefix() / relative; }
    static fs::path DesktopEntry() { return Installed("share/applications/" + kId + ".desktop"); }
    static fs::path Metainfo() { return Installed("share/metainfo/" + kId + ".metainfo.xml"); }

    // A manual page as groff reads it.
    static std::string ManualPageSource(const std::string& relative)
    {
        return RunCommand({"gzip", "-dc", Installed(relative).string()}).output;
    }

private:
    static inline std::unique_ptr<TemporaryDirectory> root_;
    static inline CommandResult install_;
};

TEST_F(InstallTree, HoldsExactlyTheProgramsAndDataFiles)
{
    EXPECT_EQ(RegularFilesBelow(Prefix()), ExpectedInstalledFiles());
    for (const char* program : {"bin/tonarel", "bin/tonarel-analyze", "bin/tonarel-stretch"}) {
        const fs::perms permissions = fs::status(Installed(program)).permissions();
        EXPECT_NE(permissions & fs::perms::others_exec, fs::perms::none) << program;
    }
}

TEST_F(InstallTree, PassesTheDesktopEntryAndAppStreamValidators)
{
    // desktop-file-validate exits 0 on warnings and hints too; it must have
    // nothing at all to say.
    const CommandResult desktop = RunCommand({"desktop-file-validate", DesktopEntry().string()});
    EXPECT_EQ(desktop.exitStatus, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "");

    const CommandResult metainfo = RunCommand({"appstreamcli", "validate", "--no-net", Metainfo().string()});
    EXPECT_EQ(metainfo.exitStatus, 0) << metainfo.output;

    // The tree check follows the metainfo to its desktop entry and icon.
    const CommandResult tree = RunCommand({"appstreamcli", "validate-tree", "--no-net", Root().string()});
    EXPECT_EQ(tree.exitStatus, 0) << tree.output;
}

TEST_F(InstallTree, DesktopEntryStartsTheInstalledProgramWithTheInstalledIcon)
{
    const std::map<std::string, std::string> keys = DesktopEntryKeys(ReadWholeFile(DesktopEntry()));
    const std::map<std::string, std::string> fixed = {
        {"Type", "Application"},    {"Exec", "tonarel"},
        {"Icon", kId},              {"Categories", "AudioVideo;Audio;Music;"},
        {"Terminal", "false"},
    };
    for (const auto& [key, value] : fixed) {
        EXPECT_EQ(keys.contains(key) ? keys.at(key) : "(missing)", value) << key;
    }
    // Shown in the menu and searched by the desktop, in English and Chinese.
    for (const char* key : {"Name", "Name[zh_CN]", "GenericName", "GenericName[zh_CN]", "Comment", "Comment[zh_CN]",
                            "Keywords", "Keywords[zh_CN]"}) {
        EXPECT_TRUE(keys.contains(key) && !keys.at(key).empty()) << key;
    }

    ASSERT_TRUE(keys.contains("Exec"));
    const fs::path program = Installed("bin/" + keys.at("Exec").substr(0, keys.at("Exec").find(' ')));
    EXPECT_TRUE(fs::is_regular_file(program)) << program;

    ASSERT_TRUE(keys.contains("Icon"));
    const std::string icon = keys.at("Icon");
    EXPECT_TRUE(fs::is_regular_file(Installed("share/icons/hicolor/scalable/apps/" + icon + ".svg")));
    for (const int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_TRUE(fs::is_regular_file(Installed("share/icons/hicolor/" + folder + "/apps/" + icon + ".png")))
            << folder;
    }
}

TEST_F(InstallTree, IconRenderingsAreAsLargeAsTheirThemeFolderSays)
{
    for (const int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const PngSize expected{static_cast<uint32_t>(size), static_cast<uint32_t>(size)};
        EXPECT_EQ(SizeOfPng(Installed("share/icons/hicolor/" + folder + "/apps/" + kId + ".png")), expected)
            << folder;
    }
    const std::string svg = ReadWholeFile(Installed("share/icons/hicolor/scalable/apps/" + kId + ".svg"));
    std::smatch viewBox;
    ASSERT_TRUE(std::regex_search(svg, viewBox, std::regex(R"re(viewBox="0 0 (\d+) (\d+)")re"))) << svg;
    EXPECT_EQ(viewBox[1], viewBox[2]) << "the scalable icon is not square";
}

TEST_F(InstallTree, MetainfoDescribesTheInstalledDesktopEntryAndThisRelease)
{
    const std::string xml = ReadWholeFile(Metainfo());
    EXPECT_THAT(AllMatches(xml, "<id>([^<]*)</id>"), ::testing::ElementsAre(kId));
    const std::vector<std::string> launchables = AllMatches(xml, R"re(<launchable type="desktop-id">([^<]*)<)re");
    ASSERT_EQ(launchables.size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(Installed("share/applications/" + launchables[0]))) << launchables[0];
    for (const std::string& binary : AllMatches(xml, "<binary>([^<]*)</binary>")) {
        EXPECT_TRUE(fs::is_regular_file(Installed("bin/" + binary))) << binary;
    }
    EXPECT_THAT(AllMatches(xml, "<project_license>([^<]*)<"), ::testing::ElementsAre("GPL-3.0-or-later"));
    EXPECT_THAT(AllMatches(xml, R"re(<content_rating type="([^"]*)")re"), ::testing::ElementsAre("oars-1.1"));
    // The newest release comes first and is the version being built.
    const std::vector<std::string> releases = AllMatches(xml, R"re(<release version="([^"]*)")re");
    ASSERT_FALSE(releases.empty());
    EXPECT_EQ(releases.front(), TONAREL_VERSION);
    // Described in English and in Simplified Chinese.
    EXPECT_FALSE(AllMatches(xml, R"re((<p>))re").empty());
    EXPECT_FALSE(AllMatches(xml, R"re((<p xml:lang="zh_CN">))re").empty());
    EXPECT_FALSE(AllMatches(xml, R"re(<screenshot type="default">\s*<caption>([^<]+)<)re").empty());
}

// The project has no web address: any address in what the user can read lies
// in the reserved domain ".invalid", which can never be someone's.
TEST_F(InstallTree, NamesNoWebAddressThatCouldBeSomeonesSite)
{
    const std::vector<std::pair<std::string, std::string>> readable = {
        {"desktop entry", ReadWholeFile(DesktopEntry())},
        {"metainfo", ReadWholeFile(Metainfo())},
        {"guide", ReadWholeFile(Installed(std::string(kGuideFolder) + "/index.html"))},
        {"manual page", ManualPageSource("share/man/man1/tonarel.1.gz")},
        {"manual page", ManualPageSource("share/man/man1/tonarel-analyze.1.gz")},
        {"manual page", ManualPageSource("share/man/zh_CN/man1/tonarel.1.gz")},
        {"manual page", ManualPageSource("share/man/zh_CN/man1/tonarel-analyze.1.gz")},
        {"manual page", ManualPageSource("share/man/man1/tonarel-stretch.1.gz")},
        {"manual page", ManualPageSource("share/man/zh_CN/man1/tonarel-stretch.1.gz")},
    };
    for (const auto& [what, text] : readable) {
        ASSERT_FALSE(text.empty()) << what;
        for (const std::string& host : AllMatches(text, R"re(https?://([^/"<>\s]+))re")) {
            EXPECT_TRUE(host.ends_with(".invalid")) << what << " names " << host;
        }
        for (const std::string& mail : AllMatches(text, R"re(([\w.+-]+@[\w-]+\.[\w.]+))re")) {
            ADD_FAILURE() << what << " names the mail address " << mail;
        }
    }
}

TEST_F(InstallTree, ManualPagesRenderWithoutWarningsForThisVersion)
{
    for (const char* page : {"share/man/man1/tonarel.1.gz", "share/man/man1/tonarel-analyze.1.gz",
                             "share/man/zh_CN/man1/tonarel.1.gz", "share/man/zh_CN/man1/tonarel-analyze.1.gz",
                             "share/man/man1/tonarel-stretch.1.gz", "share/man/zh_CN/man1/tonarel-stretch.1.gz"}) {
        // Every warning but the line-breaking ones, which Chinese text
        // without spaces always draws.
        const CommandResult render = RunCommand(
            {"sh", "-c", "gzip -dc \"$0\" | groff -k -man -ww -Wbreak -z -Tutf8 2>&1", Installed(page).string()});
        EXPECT_EQ(render.exitStatus, 0) << page;
        EXPECT_EQ(render.output, "") << page;
        EXPECT_THAT(ManualPageSource(page), ::testing::HasSubstr("\"Tonarel " TONAREL_VERSION "\"")) << page;
    }
}

// The options are read from the installed program's own usage text, so an
// option added there without a word in the manual pages is caught.
TEST_F(InstallTree, ManualPagesDescribeEveryOptionOfTheAnalyser)
{
    const CommandResult usage = RunCommand({Installed("bin/tonarel-analyze").string(), "--help"});
    ASSERT_EQ(usage.exitStatus, 0) << usage.output;
    std::set<std::string> options;
    for (const std::string& option : AllMatches(usage.output, R"re((?:^|[\s\[])(--?[a-z][a-z-]*))re")) {
        options.insert(option);
    }
    ASSERT_THAT(options, IsSupersetOf({"--segment-ms", "--snr", "--divisor", "--json"}));
    for (const char* page : {"share/man/man1/tonarel-analyze.1.gz", "share/man/zh_CN/man1/tonarel-analyze.1.gz"}) {
        // roff writes a hyphen that must stay a hyphen as "\-".
        const std::string source = std::regex_replace(ManualPageSource(page), std::regex(R"(\\-)"), "-");
        for (const std::string& option : options) {
            EXPECT_TRUE(std::regex_search(source, std::regex("(^|[^a-z-])" + option + "($|[^a-z-])")))
                << page << " does not describe " << option;
        }
    }
}

// The help requests open the guide at a section's id; a browser finds the
// pictures and the stylesheet beside it.
TEST_F(InstallTree, GuideHasTheHelpSectionsAndEverythingItLinksTo)
{
    const fs::path guide = Installed(kGuideFolder);
    const std::string html = ReadWholeFile(guide / "index.html");
    const std::vector<std::string> idList = AllMatches(html, R"re(\sid="([^"]+)")re");
    const std::set<std::string> ids(idList.begin(), idList.end());
    EXPECT_EQ(ids.size(), idList.size()) << "an id is given twice";
    EXPECT_THAT(ids, IsSupersetOf({"main-window", "temperament-manager"}));

    std::set<std::string> shownPictures;
    for (const std::string& target : AllMatches(html, R"re(\s(?:src|href)="([^"]*)")re")) {
        if (target.starts_with("#")) {
            EXPECT_THAT(ids, Contains(target.substr(1))) << "link to a missing section";
            continue;
        }
        EXPECT_EQ(target.find(':'), std::string::npos) << target << ": the guide must work without a network";
        EXPECT_TRUE(fs::is_regular_file(guide / target)) << target;
        shownPictures.insert(target);
    }
    for (const std::string& file : RegularFilesBelow(guide / "images")) {
        EXPECT_THAT(shownPictures, Contains("images/" + file)) << "a picture the guide never shows";
    }
    EXPECT_THAT(AllMatches(html, R"re(<html lang="([^"]*)")re"), ::testing::ElementsAre("zh-CN"));
}

}  // namespace
