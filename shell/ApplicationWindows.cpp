#include "shell/ApplicationWindows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <memory>

#include "meter/PitchMeterWindow.h"
#include "pianotuning/PianoTuningWindow.h"
#include "platform/HelpViewer.h"
#include "platform/UserGuide.h"
#include "scope/OscilloscopeWindow.h"
#include "shell/AboutBox.h"
#include "shell/MainWindow.h"
#include "shell/Pictures.h"
#include "shell/TemperamentDocument.h"
#include "temperament/TemperamentManagerWindow.h"
#include "tuner/TunerWindow.h"

namespace tonarel {

namespace {

ApplicationWindowSet windows;

/// Empties the set's entry before the window goes, so that nothing reaches a
/// window while it is being destroyed.
template <typename Window>
void Destroy(Window*& entry)
{
    std::unique_ptr<Window> window(entry);
    entry = nullptr;
}

/// The main window's Window menu shows and hides the working windows; its
/// File menu works on the temperament table as a document, which the
/// manager's changes mark unsaved and whose clear waits for unsaved changes
/// to be settled.
void ConnectMainWindow(const ApplicationWindowSet& set)
{
    MainWindow* main = set.mainWindow;
    TemperamentManagerWindow* manager = set.temperamentManager;
    main->BindWindowItem(main->oscilloscopeItem, set.oscilloscope);
    main->BindWindowItem(main->pitchMeterItem, set.pitchMeter);
    main->BindWindowItem(main->temperamentManagerItem, manager);
    main->SetDocument(set.temperamentDocument);
    QObject::connect(manager, &TemperamentManagerWindow::tableChanged, set.temperamentDocument,
                     &TemperamentDocument::TableChanged);
    QObject::connect(manager, &TemperamentManagerWindow::clearRequested, main, [main, manager] {
        if (main->SettleUnsavedChanges()) {
            manager->ClearRecords();
        }
    });
}

/// The road of a reading: from the pitch meter to the temperament manager
/// (while forwarding is ticked) and its samples to the oscilloscope; the two
/// forwarding boxes mirror each other.
void ConnectPitchMeter(const ApplicationWindowSet& set)
{
    PitchMeterWindow* meter = set.pitchMeter;
    TemperamentManagerWindow* manager = set.temperamentManager;
    QObject::connect(meter, &PitchMeterWindow::readingForwarded, manager, &TemperamentManagerWindow::AddReading);
    QObject::connect(meter, &PitchMeterWindow::samplesAnalysed, set.oscilloscope,
                     &OscilloscopeWindow::ShowAnalysedSamples);
    QObject::connect(meter, &PitchMeterWindow::forwardingToggled, manager,
                     &TemperamentManagerWindow::SetInputFromMeter);
    QObject::connect(manager, &TemperamentManagerWindow::inputFromMeterToggled, meter,
                     &PitchMeterWindow::SetForwarding);
}

/// The tuning windows: the tuner's readings measure the piano's keys, the
/// piano's stretch curve becomes the tuner's target, and the pitch meter's
/// precise readings measure keys too. The main window's items bring them to
/// the front, and the piano's unsaved readings are asked about at the end.
void ConnectTuningWindows(const ApplicationWindowSet& set)
{
    tuner::TunerWindow* tuner = set.tuner;
    pianotuning::PianoTuningWindow* piano = set.pianoTuning;
    QObject::connect(set.mainWindow->tunerItem, &QAction::triggered, tuner, &tuner::TunerWindow::ShowInFront);
    QObject::connect(set.mainWindow->pianoTuningItem, &QAction::triggered, piano, [piano] {
        piano->show();
        piano->setWindowState(piano->windowState() & ~Qt::WindowMinimized);
        piano->raise();
        piano->activateWindow();
    });
    QObject::connect(tuner, &tuner::TunerWindow::SteadyNoteRead, piano,
                     &pianotuning::PianoTuningWindow::TakeLiveReading);
    QObject::connect(tuner, &tuner::TunerWindow::NoteFollowed, piano, &pianotuning::PianoTuningWindow::FollowNote);
    QObject::connect(tuner, &tuner::TunerWindow::ReferencePitchChanged, piano,
                     &pianotuning::PianoTuningWindow::SetReferencePitch);
    QObject::connect(piano, &pianotuning::PianoTuningWindow::StretchTargetChanged, tuner,
                     &tuner::TunerWindow::SetStretchTarget);
    QObject::connect(piano, &pianotuning::PianoTuningWindow::StretchTargetCleared, tuner,
                     &tuner::TunerWindow::ClearStretchTarget);
    QObject::connect(set.pitchMeter, &PitchMeterWindow::preciseReadingTaken, piano,
                     &pianotuning::PianoTuningWindow::TakePreciseReading);
    // The calibration measured in the tuner corrects the pitch meter's
    // precise readings too: it is one sound card.
    QObject::connect(tuner, &tuner::TunerWindow::CalibrationChanged, set.pitchMeter,
                     &PitchMeterWindow::SetPreciseCorrection);
    set.pitchMeter->SetPreciseCorrection(1.0 + tuner->CalibrationPpm() / 1e6);
    piano->SetReferencePitch(tuner->System().ReferenceHz());
    set.mainWindow->AddEndingQuestion([piano] { return piano->MaySetPianoAside(); });
}

/// Start-up tiles the screen: the main window is a strip across its top
/// fifth; below it the oscilloscope stands at the left edge with the pitch
/// meter under it, and the temperament manager stands to their right.
void PlaceApplicationWindows(const ApplicationWindowSet& set)
{
    const QSize screen = TonarelForm::PrimaryScreenSize();
    set.mainWindow->SetOuterPosition(0, 0);
    set.mainWindow->SetOuterSize(screen.width(), screen.height() / 5);
    set.oscilloscope->SetOuterPosition(0, screen.height() / 5);
    set.pitchMeter->SetOuterPosition(0, set.mainWindow->OuterHeight() + set.oscilloscope->OuterHeight());
    set.temperamentManager->SetOuterPosition(set.oscilloscope->OuterWidth(), set.mainWindow->OuterHeight());
    // The tuner's first place is the free area right of the temperament
    // manager; after that, where the user left it.
    if (!set.tuner->RestorePlacement()) {
        set.tuner->PlaceBeside(set.temperamentManager->OuterGeometry());
    }
}

}  // namespace

const ApplicationWindowSet& Windows()
{
    return windows;
}

void CreateApplicationWindows()
{
    SetApplicationHelpFile(LocateUserGuide(QDir(QCoreApplication::applicationDirPath())));
    QApplication::setWindowIcon(QIcon(DrawProgramPicture(32)));
    windows.mainWindow = new MainWindow();
    windows.oscilloscope = new OscilloscopeWindow();
    windows.pitchMeter = new PitchMeterWindow();
    windows.temperamentManager = new TemperamentManagerWindow();
    windows.aboutBox = new AboutBox(windows.mainWindow);
    windows.temperamentDocument = new TemperamentDocument(*windows.temperamentManager, windows.mainWindow);
    windows.tuner = new tuner::TunerWindow();
    windows.pianoTuning = new pianotuning::PianoTuningWindow();
    ConnectMainWindow(windows);
    ConnectPitchMeter(windows);
    ConnectTuningWindows(windows);
    PlaceApplicationWindows(windows);
}

void ShowApplicationWindows()
{
    for (TonarelForm* window : std::initializer_list<TonarelForm*>{windows.mainWindow, windows.oscilloscope,
                                                                   windows.pitchMeter, windows.temperamentManager}) {
        window->show();
    }
    if (windows.tuner->WasOpenAtLastExit()) {
        windows.tuner->show();
    }
    // Which window ends up active differs between platforms (none on a bare
    // X server); the program starts with the main window active.
    windows.mainWindow->ShowInFront();
}

void DestroyApplicationWindows() noexcept
{
    if (windows.tuner != nullptr) {
        try {
            windows.tuner->RememberPlacement();
        } catch (...) {
            // The next start places the tuner anew.
        }
    }
    Destroy(windows.pianoTuning);
    Destroy(windows.tuner);
    Destroy(windows.temperamentManager);
    Destroy(windows.pitchMeter);
    Destroy(windows.oscilloscope);
    // The about boxes and the document go with the main window; the document
    // is not asked anything once the manager it reads is gone.
    windows.aboutBox = nullptr;
    windows.temperamentDocument = nullptr;
    Destroy(windows.mainWindow);
}

}  // namespace tonarel
