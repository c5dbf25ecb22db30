#include "forms/UserMessage.h"

#include <QApplication>
#include <QMessageBox>

namespace tonarel {

namespace {

UserMessageHandler& Handler()
{
    static UserMessageHandler handler;
    return handler;
}

}  // namespace

void ShowUserMessage(UserMessageKind kind, const QString& text)
{
    if (Handler()) {
        Handler()(kind, text);
        return;
    }
    QWidget* parent = QApplication::activeWindow();
    const QString title = QApplication::applicationName();
    switch (kind) {
    case UserMessageKind::Error:
        QMessageBox::critical(parent, title, text);
        break;
    case UserMessageKind::Information:
        QMessageBox::information(parent, title, text);
        break;
    case UserMessageKind::Warning:
        QMessageBox::warning(parent, title, text);
        break;
    }
}

void ShowErrorBox(const QString& text)
{
    ShowUserMessage(UserMessageKind::Error, text);
}

void SetUserMessageHandler(UserMessageHandler handler)
{
    Handler() = std::move(handler);
}

}  // namespace tonarel
