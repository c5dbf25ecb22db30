#pragma once
// The help viewer: the program asks it to open the application's help file,
// either by keyword or at a topic's context number. The viewer shows
// everything the user sees about help, including a help file that is missing;
// the windows show nothing of their own.

#include <QString>
#include <cstdint>

namespace tonarel {

/// Context numbers of the help topics that windows open with F1.
inline constexpr uint32_t kMainWindowHelpContext = 2;
inline constexpr uint32_t kPitchMeterHelpContext = 3;
inline constexpr uint32_t kOscilloscopeHelpContext = 4;
inline constexpr uint32_t kTemperamentManagerHelpContext = 5;
/// The tuning windows, numbered as their chapters in the guide.
inline constexpr uint32_t kTunerHelpContext = 11;
inline constexpr uint32_t kPianoTuningHelpContext = 12;

class HelpViewer {
public:
    virtual ~HelpViewer() = default;

    /// Opens the application's help file at its keyword index, looking up
    /// `keyword` there; an empty keyword asks for the index itself.
    /// Returns nothing: a failure is the viewer's to report.
    virtual void OpenByKeyword(const QString& keyword) = 0;

    /// Opens the application's help file at the topic with `contextNumber`.
    virtual void OpenAtContext(uint32_t contextNumber) = 0;
};

/// The application's help file, as set at start-up: the user's guide (see
/// LocateUserGuide), by its absolute path; a relative name would be resolved
/// against the working directory each time the file is opened. Empty until
/// set.
void SetApplicationHelpFile(const QString& fileName);
QString ApplicationHelpFile();

/// The viewer that every window asks: the desktop viewer, unless replaced.
HelpViewer& ApplicationHelpViewer();

/// Replaces the viewer that ApplicationHelpViewer() returns (tests install a
/// stand-in). Not owned: it must outlive its installation. nullptr restores
/// the desktop viewer.
void SetApplicationHelpViewer(HelpViewer* viewer);

}  // namespace tonarel
