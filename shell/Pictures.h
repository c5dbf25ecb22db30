#pragma once
// The program's pictures, drawn at start-up rather than loaded from files.

#include <QIcon>
#include <QPixmap>
#include <array>

namespace tonarel {

/// The 16 × 16 pictures that the main menu and the tool bar share, by index:
/// 0 save, 1 open, 2 exit, 3 temperament manager, 4 save as, 5 help topics,
/// 6 oscilloscope, 7 pitch meter.
using ImageList = std::array<QIcon, 8>;
ImageList DrawImageList();

/// The program's own picture (a tuning fork), `size` × `size` pixels: the
/// window icon, the main window's Image1 and the about box.
QPixmap DrawProgramPicture(int size);

/// A piano's keys, 16 × 16: the piano tuning window's item and tool button.
QIcon DrawKeyboardPicture();

}  // namespace tonarel
