#pragma once
// The user's guide: an HTML page in Simplified Chinese that the help requests
// open, each window's F1 at the window's own section.

#include <QDir>
#include <QString>
#include <cstdint>

namespace tonarel {

/// Where the guide stands, relative to the program's folder: installed, the
/// program is in bin/ and the guide in share/tonarel/guide/; in a build tree
/// the build copies the guide to share/tonarel/guide/ beside the program.
inline constexpr const char* kInstalledGuide = "../share/tonarel/guide/index.html";
inline constexpr const char* kBuildTreeGuide = "share/tonarel/guide/index.html";

/// The absolute path of the guide for a program in `programFolder`: the
/// installed guide if it is there, else the build tree's, else the installed
/// path all the same, so that the help viewer's message names the file it
/// misses where an installation would have it.
QString LocateUserGuide(const QDir& programFolder);

/// The section of the guide that a help context opens: "main-window" for the
/// main window (2), "taking-a-reading" for the pitch meter (3),
/// "oscilloscope" for the oscilloscope (4), "temperament-manager" for the
/// temperament manager (5); empty (the top of the guide) for any other number.
QString UserGuideSection(uint32_t contextNumber);

}  // namespace tonarel
