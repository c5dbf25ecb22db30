#pragma once
// The windows that live from start-up to exit, created and destroyed as one
// set. The start-up uses this, and so do the window tests, so that a test sees
// the windows exactly as the program makes them.

namespace tonarel {

/// Sets the application's help file (the user's guide) and creates the windows in
/// this order: TForm1 into Form1, TForm2 into Form2, TForm3 into Form3, TForm4
/// into Form4, a TAboutBox into AboutBox. The order matters: each window
/// places itself from the screen and from the windows created before it.
/// Needs the application object. An exception from a window's creation
/// propagates; the windows made before it stay until
/// DestroyApplicationWindows().
void CreateApplicationWindows();

/// Shows Form1 to Form4 and then makes the main window the active window.
void ShowApplicationWindows();

/// Destroys every window of the set (the about boxes go with the main
/// window) and sets the globals back to null. Does nothing for windows that
/// were never created.
void DestroyApplicationWindows() noexcept;

}  // namespace tonarel
