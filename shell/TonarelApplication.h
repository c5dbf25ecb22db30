#pragma once

#include <QApplication>
#include <QTranslator>

namespace tonarel {

/// The application object. No exception may cross Qt's event dispatch: one
/// that escapes an event handler is shown in the application's error box with
/// its text (an empty text for an exception of unknown type), and the program
/// goes on with the next event. Handlers that can fail also guard themselves
/// (RunGuarded), so that nothing unwinds through Qt's own frames.
///
/// It also sets what every window shares: the name "Tonarel", the font (the
/// windows' design font where the system has it, otherwise WenQuanYi Micro
/// Hei, whose 13-pixel rows fit every caption, at a pixel size of 11), and
/// that only closing the main window ends the program, not hiding the last
/// visible window.
class TonarelApplication : public QApplication {
public:
    TonarelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    /// Qt's own texts (file dialogs, message box buttons) in Simplified
    /// Chinese, the language of the whole interface, whatever the locale.
    QTranslator qtTexts_;
};

}  // namespace tonarel
