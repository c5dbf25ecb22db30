#pragma once
// Which of Qt's display platforms the program asks for.
//
// The windows place themselves at start-up: the main window across the top of
// the screen, the working windows tiled below it. A Wayland compositor does
// not let a client position its windows, so in a Wayland session that also
// offers an X display (XWayland) the program runs on the X display, where the
// tiling holds. Without an X display Qt's own choice stands, and the
// compositor places the windows.

#include <optional>
#include <string>

namespace tonarel {

/// What the session offers: each value as its environment variable holds it,
/// or null when the variable is not set.
struct DisplaySession {
    const char* qtPlatform = nullptr;      ///< QT_QPA_PLATFORM, the user's own choice
    const char* waylandDisplay = nullptr;  ///< WAYLAND_DISPLAY
    const char* sessionType = nullptr;     ///< XDG_SESSION_TYPE ("wayland", "x11", ...)
    const char* x11Display = nullptr;      ///< DISPLAY
};

/// "xcb" for a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE
/// "wayland") that also offers an X display, unless the user chose a platform
/// with QT_QPA_PLATFORM; nothing otherwise. Empty values count as unset.
std::optional<std::string> PlatformForPlacedWindows(const DisplaySession& session);

/// Reads the session from the environment and, where PlatformForPlacedWindows
/// names a platform, sets QT_QPA_PLATFORM to it. Runs before the application
/// object is made.
void ChooseDisplayPlatform();

}  // namespace tonarel
