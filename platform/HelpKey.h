#pragma once
// F1 in a window: the guide opens at that window's section.

#include <cstdint>

class QWidget;

namespace tonarel {

/// Makes F1, pressed anywhere in `window` (a top-level window), open the
/// application's help at `contextNumber` (HelpViewer.h). A failure is the
/// viewer's to report; nothing escapes into Qt.
void InstallHelpKey(QWidget& window, uint32_t contextNumber);

}  // namespace tonarel
