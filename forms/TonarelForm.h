#pragma once
// What the program's four windows have in common.
//
// - Placement by outer rectangle: sizes and positions are those of the whole
//   window, frame included. Frames are known only once a window is on screen
//   (a bare X server or the offscreen platform has none), so a window keeps
//   the outer rectangle it was given and, when its frame first shows up,
//   shrinks its client area by the frame. Placements read the stored outer
//   values of the windows created before, never their current client size.
// - Activation: whenever a window becomes the active window, its FormActivate
//   writes its line of WindowDescriptions into the main window's description memo. The
//   main window makes itself known to the others through BecomeMainForm, so
//   that no window needs to know the main window's class.
// - The working windows have no close box (minimise and maximise only) and
//   ignore close requests that still reach them (Alt+F4, a window manager's
//   own button): they are only ever shown and hidden from the main window.

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QWidget>

class QPlainTextEdit;

namespace tonarel {

class TonarelForm : public QWidget {
    Q_OBJECT

public:
    /// The window's outer rectangle in screen pixels, frame included, as last
    /// placed; the size is the design size until a placement changes it.
    QRect OuterGeometry() const { return outerGeometry_; }
    int OuterWidth() const { return outerGeometry_.width(); }
    int OuterHeight() const { return outerGeometry_.height(); }

    /// Shows the window: visible, no longer minimised, in front of the
    /// others and active.
    void ShowInFront();

    /// Replaces the whole text of the main window's description memo with this window's
    /// line of WindowDescriptions. Runs whenever the window becomes the
    /// active window; does nothing while there is no main window.
    void FormActivate(QObject* sender);

    /// The main window (the frame of the program, at the top of the screen),
    /// or null while there is none.
    static const TonarelForm* MainForm();

    /// Place the window by its outer rectangle (frame included). The shell
    /// places every window at start-up; valid before and after the window is
    /// shown.
    void SetOuterPosition(int left, int top);
    void SetOuterSize(int width, int height);

    /// Width and height of the primary display in pixels.
    static QSize PrimaryScreenSize();

protected:
    enum class CloseBox { Shown, None };

    /// `descriptionIndex` is the window's entry in WindowDescriptions (0 main
    /// window, 1 oscilloscope, 2 pitch meter, 3 temperament manager);
    /// `designOuterSize` its outer size until the shell places it.
    TonarelForm(int descriptionIndex, CloseBox closeBox, QSize designOuterSize);

    /// Makes `form` the main window, whose `descriptionMemo` shows the line of
    /// the window activated last; null for both when the main window goes.
    static void BecomeMainForm(const TonarelForm* form, QPlainTextEdit* descriptionMemo);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    /// Once the window manager has framed the window, gives the client area
    /// the outer size minus the frame, and the frame the outer position.
    void FitToFrame();

    QRect outerGeometry_;
    QMargins frame_;
    bool fittedToFrame_ = false;
    int descriptionIndex_;
    CloseBox closeBox_;
};

}  // namespace tonarel
