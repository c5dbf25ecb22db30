#include "shell/AboutBox.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <utility>

#include "forms/SystemColours.h"
#include "shell/Pictures.h"

namespace tonarel {

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

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 213);

    // The panel: a lowered outer bevel around a raised inner one.
    panel = new QFrame(this);
    panel->setGeometry(8, 8, 281, 161);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* inner = new QFrame(panel);
    inner->setGeometry(1, 1, 279, 159);
    inner->setFrameStyle(QFrame::Panel | QFrame::Raised);

    programIcon = new QLabel(inner);
    programIcon->setGeometry(8, 8, 65, 57);
    programIcon->setScaledContents(true);
    programIcon->setPixmap(DrawProgramPicture(64));

    productName = new QLabel(QStringLiteral("Tonarel"), inner);
    productName->move(88, 16);
    version = new QLabel(QStringLiteral("Version : %1").arg(QStringLiteral(TONAREL_VERSION)), inner);
    version->move(88, 40);
    copyright = new QLabel(QStringLiteral("调律软件 Tonarel，由 Tonarel 开发组编写。"), inner);
    copyright->move(8, 80);
    for (QLabel* label : {productName, version, copyright}) {
        label->adjustSize();
    }
    // The program has no web site or mail address of its own; the two fields
    // show its licence and where the licence's text is published.
    licenceField = AddressField(inner, QStringLiteral("许可证 GPL-3.0-or-later"), 104);
    licenceAddressField = AddressField(inner, QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"), 128);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setGeometry(111, 180, 75, 25);
    okButton->setDefault(true);
    okButton->setFocus();
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    const std::pair<QWidget*, const char*> designNames[] = {
        {panel, "Panel1"},         {programIcon, "ProgramIcon"}, {productName, "ProductName"},
        {version, "Version"},      {copyright, "Copyright"},     {licenceField, "Edit1"},
        {licenceAddressField, "Edit2"}, {okButton, "OKButton"}};
    for (const auto& [widget, name] : designNames) {
        widget->setObjectName(QString::fromLatin1(name));
    }
}

int AboutBox::ShowCentredModal()
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

}  // namespace tonarel
