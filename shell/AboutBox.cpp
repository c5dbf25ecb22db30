#include "shell/AboutBox.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "forms/SystemColours.h"
#include "shell/Pictures.h"

using namespace tonarel;

TAboutBox* AboutBox = nullptr;

namespace {

QLineEdit* AddressField(QWidget* parent, const QString& address, int top)
{
    auto* field = new QLineEdit(address, parent);
    field->setGeometry(8, top, 249, 21);
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, kHotLightTextColour);
    field->setPalette(palette);
    field->setCursorPosition(0);
    return field;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 213);

    // The panel: a lowered outer bevel around a raised inner one.
    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 281, 161);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* inner = new QFrame(Panel1);
    inner->setGeometry(1, 1, 279, 159);
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);

    ProgramIcon = new QLabel(inner);
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(DrawProgramPicture(64));

    ProductName = new QLabel(QStringLiteral("Tonarel"), inner);
    ProductName->move(88, 16);
    Version = new QLabel(QStringLiteral("Version : %1").arg(QStringLiteral(TONAREL_VERSION)), inner);
    Version->move(88, 40);
    Copyright = new QLabel(QStringLiteral("调律软件 Tonarel，由 Tonarel 开发组编写。"), inner);
    Copyright->move(8, 80);
    for (QLabel* label : {ProductName, Version, Copyright}) {
        label->adjustSize();
    }
    // The program has no web site or mail address of its own; the two fields
    // show its licence and where the licence's text is published.
    Edit1 = AddressField(inner, QStringLiteral("许可证 GPL-3.0-or-later"), 104);
    Edit2 = AddressField(inner, QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"), 128);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

int TAboutBox::ShowCentredModal()
{
    // Qt would centre a dialog over its owner, the strip at the top. The
    // box's own frame is known only once it is shown; the owner's frame is
    // the same window manager's, so it stands in for it.
    QMargins frame;
    if (parentWidget() != nullptr && parentWidget()->window()->windowHandle() != nullptr) {
        frame = parentWidget()->window()->windowHandle()->frameMargins();
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize outer = size().grownBy(frame);
        move(screen->geometry().center() - QPoint(outer.width() / 2, outer.height() / 2));  // moves the frame
    }
    return exec();
}
