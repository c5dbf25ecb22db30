#pragma once

#include <QApplication>

/// The application object. No exception may cross Qt's event dispatch: one
/// that escapes an event handler is shown in the application's error box with
/// its text (an empty text for an exception of unknown type), and the program
/// goes on with the next event. Handlers that can fail also guard themselves
/// (RunGuarded), so that nothing unwinds through Qt's own frames.
class TonarelApplication : public QApplication {
public:
    TonarelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
