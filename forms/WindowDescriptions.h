#pragma once
// The one-line description that each window writes into the main window's
// memo when it becomes the active window.

#include <array>

namespace tonarel {

/// Indexed by window: 0 main window, 1 oscilloscope, 2 pitch meter,
/// 3 temperament manager. UTF-8.
inline constexpr std::array<const char*, 4> WindowDescriptions = {
    "《Tonarel》是一种能够用于各种乐器调律的软件。",
    "示波器用于显示输入声音的波形图形。",
    "音准仪的主要功能是检测输入声的频率。",
    "音律管理器用于管理从音准仪输入的乐音的音律，判断音律的偏差，以便逐个调准。",
};

}  // namespace tonarel
