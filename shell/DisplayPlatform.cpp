#include "shell/DisplayPlatform.h"

#include <cstdlib>
#include <cstring>

namespace tonarel {
namespace {

bool IsSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<std::string> PlatformForPlacedWindows(const DisplaySession& session)
{
    const bool wayland = IsSet(session.waylandDisplay) ||
                         (IsSet(session.sessionType) && std::strcmp(session.sessionType, "wayland") == 0);
    if (IsSet(session.qtPlatform) || !wayland || !IsSet(session.x11Display)) {
        return std::nullopt;
    }
    return "xcb";
}

void ChooseDisplayPlatform()
{
    const DisplaySession session{std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"),
                                 std::getenv("XDG_SESSION_TYPE"), std::getenv("DISPLAY")};
    if (const std::optional<std::string> platform = PlatformForPlacedWindows(session)) {
        setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
    }
}

}  // namespace tonarel
