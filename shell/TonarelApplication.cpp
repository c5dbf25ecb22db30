#include "shell/TonarelApplication.h"

#include "shell/UserMessage.h"

TonarelApplication::TonarelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TonarelApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
