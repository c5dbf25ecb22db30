#include "forms/TonarelForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWindow>

#include "forms/WindowDescriptions.h"

namespace tonarel {

namespace {

// The main window and its memo, set by the main window itself.
const TonarelForm* mainForm = nullptr;
QPlainTextEdit* descriptionMemo = nullptr;

Qt::WindowFlags WindowFlagsFor(bool hasCloseBox)
{
    if (hasCloseBox) {
        return Qt::Window;
    }
    // Without the close hint: minimise and maximise only.
    return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
           | Qt::WindowMaximizeButtonHint;
}

}  // namespace

TonarelForm::TonarelForm(int descriptionIndex, CloseBox closeBox, QSize designOuterSize)
    : QWidget(nullptr, WindowFlagsFor(closeBox == CloseBox::Shown)),
      outerGeometry_(QPoint(0, 0), designOuterSize),
      descriptionIndex_(descriptionIndex),
      closeBox_(closeBox)
{
    resize(designOuterSize);
}

void TonarelForm::ShowInFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TonarelForm::FormActivate(QObject* /*sender*/)
{
    if (descriptionMemo != nullptr) {
        descriptionMemo->setPlainText(QString::fromUtf8(WindowDescriptions.at(descriptionIndex_)));
    }
}

const TonarelForm* TonarelForm::MainForm()
{
    return mainForm;
}

void TonarelForm::BecomeMainForm(const TonarelForm* form, QPlainTextEdit* memo)
{
    mainForm = form;
    descriptionMemo = memo;
}

void TonarelForm::SetOuterPosition(int left, int top)
{
    outerGeometry_.moveTopLeft(QPoint(left, top));
    // A window's position is that of its frame.
    move(left, top);
}

void TonarelForm::SetOuterSize(int width, int height)
{
    outerGeometry_.setSize(QSize(width, height));
    // A window's size is that of its client area.
    resize(width - frame_.left() - frame_.right(), height - frame_.top() - frame_.bottom());
}

QSize TonarelForm::PrimaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize(0, 0);
}

bool TonarelForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        FormActivate(this);
    }
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        FitToFrame();
        break;
    default:
        break;
    }
    return handled;
}

void TonarelForm::closeEvent(QCloseEvent* event)
{
    if (closeBox_ == CloseBox::None) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TonarelForm::FitToFrame()
{
    if (fittedToFrame_ || !isVisible() || windowHandle() == nullptr) {
        return;
    }
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull()) {
        return;  // not framed (yet): the client area is the whole window
    }
    fittedToFrame_ = true;
    frame_ = frame;
    SetOuterSize(outerGeometry_.width(), outerGeometry_.height());
    SetOuterPosition(outerGeometry_.left(), outerGeometry_.top());
}

}  // namespace tonarel
