#pragma once
// Colours that the windows' design takes from the desktop's system colours
// where Linux desktops have no counterpart.

#include <QColor>

/// The "hot-light" text colour (links, highlighted values): navy.
inline const QColor HotLightTextColour(0x00, 0x00, 0x80);
