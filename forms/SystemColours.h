#pragma once
// Colours that the windows' design takes from the desktop's system colours
// where Linux desktops have no counterpart.

#include <QColor>

namespace tonarel {

/// The "hot-light" text colour (links, highlighted values): navy.
inline const QColor kHotLightTextColour(0x00, 0x00, 0x80);

/// The "hot-track" colour, in which the pitch meter's reading stands out: the
/// same navy.
inline const QColor kHotTrackColour = kHotLightTextColour;

/// The "caption text" colour, the background of the pitch meter's reading:
/// white.
inline const QColor kCaptionTextColour(0xFF, 0xFF, 0xFF);

}  // namespace tonarel
