#pragma once
// What installing Tonarel puts on a machine, relative to the installation
// prefix (/usr for the Debian package): the one list that the install tree
// test and the package test both hold the installed files to.

#include <algorithm>
#include <string>
#include <vector>

namespace tonarel::test {

/// The application's id: the name of the desktop entry, the icon and the
/// metainfo.
inline constexpr const char* kApplicationId = "invalid.tonarel.Tonarel";

/// The sizes of the icon's PNG renderings in the hicolor theme.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

/// The folder of the user's guide, which the help requests open.
inline constexpr const char* kGuideFolder = "share/tonarel/guide";

/// Every regular file of the install tree, sorted.
inline std::vector<std::string> ExpectedInstalledFiles()
{
    const std::string id = kApplicationId;
    std::vector<std::string> files = {
        "bin/tonarel",
        "bin/tonarel-analyze",
        "bin/tonarel-stretch",
        "share/applications/" + id + ".desktop",
        "share/doc/tonarel/copyright",
        "share/icons/hicolor/scalable/apps/" + id + ".svg",
        "share/man/man1/tonarel.1.gz",
        "share/man/man1/tonarel-analyze.1.gz",
        "share/man/man1/tonarel-stretch.1.gz",
        "share/man/zh_CN/man1/tonarel.1.gz",
        "share/man/zh_CN/man1/tonarel-analyze.1.gz",
        "share/man/zh_CN/man1/tonarel-stretch.1.gz",
        "share/metainfo/" + id + ".metainfo.xml",
        "share/tonarel/guide/guide.css",
        "share/tonarel/guide/index.html",
        "share/tonarel/guide/images/manager.png",
        "share/tonarel/guide/images/meter.png",
        "share/tonarel/guide/images/nosound.png",
        "share/tonarel/guide/images/overview.png",
        "share/tonarel/guide/images/piano.png",
        "share/tonarel/guide/images/scope.png",
        "share/tonarel/guide/images/toolbar.png",
        "share/tonarel/guide/images/tuner.png",
    };
    for (const int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        files.push_back("share/icons/hicolor/" + folder + "/apps/" + id + ".png");
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace tonarel::test
