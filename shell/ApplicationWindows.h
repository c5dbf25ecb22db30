#pragma once
// The windows that live from start-up to exit, created, placed, wired and
// destroyed here as one set. The start-up uses this, and so do the window
// tests, so that a test sees the windows exactly as the program makes them.
//
// This is the one place that knows every window. The windows do not know each
// other: each emits what happened and offers slots for what it can be told,
// and CreateApplicationWindows connects them. A new window is one more member
// of ApplicationWindowSet, one more `new` and its `connect` lines below, and
// its place in PlaceApplicationWindows.

namespace tonarel {

class AboutBox;
class MainWindow;
class OscilloscopeWindow;
class PitchMeterWindow;
class TemperamentDocument;
class TemperamentManagerWindow;
namespace tuner {
class TunerWindow;
}
namespace pianotuning {
class PianoTuningWindow;
}

/// The windows of the running program; every member null before
/// CreateApplicationWindows and after DestroyApplicationWindows.
struct ApplicationWindowSet {
    MainWindow* mainWindow = nullptr;
    OscilloscopeWindow* oscilloscope = nullptr;
    PitchMeterWindow* pitchMeter = nullptr;
    TemperamentManagerWindow* temperamentManager = nullptr;
    /// The tuner 调音器 and the piano tuning window 钢琴调律: not part of the
    /// start-up tiling, shown from the Window menu (the tuner also at start-up
    /// when it was open as the program last ended).
    tuner::TunerWindow* tuner = nullptr;
    pianotuning::PianoTuningWindow* pianoTuning = nullptr;
    /// The about box made at start-up (owned by the main window); the About
    /// command makes a further one each time.
    AboutBox* aboutBox = nullptr;
    /// The temperament table's file and unsaved state (owned by the main
    /// window), which the main window's File menu works on.
    TemperamentDocument* temperamentDocument = nullptr;
};

/// The set as it stands.
const ApplicationWindowSet& Windows();

/// Sets the application's help file (the user's guide), creates the windows
/// (main window, oscilloscope, pitch meter, temperament manager, about box),
/// connects them and places them: the main window across the top fifth of
/// the screen, the oscilloscope below it at the left edge, the pitch meter
/// under the oscilloscope and the temperament manager to their right, each
/// by the outer sizes of the windows placed before it. Needs the
/// application object. An exception from a window's creation propagates; the
/// windows made before it stay until DestroyApplicationWindows().
void CreateApplicationWindows();

/// Shows the main window and the working windows, then makes the main window
/// the active window.
void ShowApplicationWindows();

/// Destroys every window of the set (the about boxes go with the main
/// window) and empties the set. Does nothing for windows that were never
/// created.
void DestroyApplicationWindows() noexcept;

}  // namespace tonarel
