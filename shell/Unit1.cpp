#include "shell/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "forms/FileDialogRunner.h"
#include "forms/UserMessage.h"
#include "meter/Unit3.h"
#include "platform/HelpViewer.h"
#include "scope/Unit2.h"
#include "shell/AboutBox.h"
#include "temperament/Unit4.h"
#include "wave/TakeFiles.h"

using namespace tonarel;

TForm1* Form1 = nullptr;

namespace {

// Pictures of ImageList1 by role.
enum ImageIndex { SaveImage = 0, OpenImage, ExitImage, TemperamentManagerImage, SaveAsImage, HelpTopicsImage,
                  OscilloscopeImage, PitchMeterImage };

/// The tool buttons have no hints; Qt would show the action text as one.
class ToolTipSuppressor : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return event->type() == QEvent::ToolTip || QObject::eventFilter(watched, event);
    }
};

/// The tool bar's measures: its buttons flush from its left edge without
/// gaps, and its separator ToolButton3 8 pixels wide. Qt's styles give a
/// tool bar a frame, margins round the buttons and gaps between them, and a
/// narrower separator; this style takes them away for the tool bar and its
/// separator alone and draws everything as the application's style does.
class ToolBarMeasures : public QProxyStyle {
public:
    ToolBarMeasures() : QProxyStyle(QApplication::style()->name()) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_ToolBarFrameWidth:
        case PM_ToolBarItemMargin:
        case PM_ToolBarItemSpacing:
            return 0;
        case PM_ToolBarSeparatorExtent:
            return 8;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

/// A working window's toggle: the item's check mark was inverted before
/// this runs; the button follows the item's action by itself.
void ToggleWindow(const QAction* item, TonarelForm* window)
{
    if (window == nullptr) {
        return;
    }
    if (item->isChecked()) {
        window->ShowInFront();
    } else {
        window->hide();
    }
}

}  // namespace

TForm1::TForm1() : TonarelForm(0, CloseBox::Shown, QSize(652, 126)), ImageList1(DrawImageList())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tonarel 1.0 (BETA)"));
    setWindowIcon(QIcon(DrawProgramPicture(32)));
    setBackgroundRole(QPalette::Button);

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    MainMenu1 = new QMenuBar(this);
    windowLayout->setMenuBar(MainMenu1);
    BuildMenu();

    // The client area: the tool bar stands at its top-left corner, outside any
    // layout; the picture and the memo are aligned to the right edge.
    auto* client = new QWidget(this);
    windowLayout->addWidget(client);
    auto* clientLayout = new QHBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addStretch(1);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedWidth(33);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(DrawProgramPicture(32));
    clientLayout->addWidget(Image1);

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFixedWidth(284);
    Memo1->setReadOnly(true);
    Memo1->setMinimumHeight(0);
    clientLayout->addWidget(Memo1);

    BuildToolBar(client);
    CreateFileDialogs();

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this,
            [] { RunGuarded([] { ApplicationHelpViewer().OpenAtContext(kMainWindowHelpContext); }); });

    BecomeMainForm(this, Memo1);
    FormCreate(this);
}

TForm1::~TForm1()
{
    BecomeMainForm(nullptr, nullptr);
}

void TForm1::BuildMenu()
{
    QMenu* file = MainMenu1->addMenu(QStringLiteral("文件(&F)"));
    N7 = file->menuAction();
    N8 = file->addAction(ImageList1[OpenImage], QStringLiteral("打开(&O)"));
    N9 = file->addAction(ImageList1[SaveImage], QStringLiteral("保存(&S)"));
    N10 = file->addAction(ImageList1[SaveAsImage], QStringLiteral("保存为(&A)"));
    N11 = file->addSeparator();
    E1 = file->addAction(ImageList1[ExitImage], QStringLiteral("退出（&E）"));

    QMenu* window = MainMenu1->addMenu(QStringLiteral("窗口(&W)"));
    N1 = window->menuAction();
    G1 = window->addAction(ImageList1[OscilloscopeImage], QStringLiteral("示波器(&G)"));
    N2 = window->addAction(ImageList1[PitchMeterImage], QStringLiteral("音准仪(&Y)"));
    N3 = window->addAction(ImageList1[TemperamentManagerImage], QStringLiteral("音律管理器(&M)"));
    for (QAction* item : {G1, N2, N3}) {
        item->setCheckable(true);
        item->setChecked(true);
    }

    QMenu* help = MainMenu1->addMenu(QStringLiteral("帮助(&H)"));
    N4 = help->menuAction();
    N6 = help->addAction(ImageList1[HelpTopicsImage], QStringLiteral("帮助主题(&H)"));
    N5 = help->addAction(QStringLiteral("关于(&A)"));

    // Connected after the design states are set. triggered() comes after the
    // automatic check, so the toggles see the new state.
    const auto connectItem = [this](QAction* item, void (TForm1::*handler)(QObject*)) {
        connect(item, &QAction::triggered, this, [this, item, handler] { RunGuarded([&] { (this->*handler)(item); }); });
    };
    connectItem(N8, &TForm1::N8Click);
    connectItem(N9, &TForm1::N9Click);
    connectItem(N10, &TForm1::N10Click);
    connectItem(E1, &TForm1::E1Click);
    connectItem(G1, &TForm1::G1Click);
    connectItem(N2, &TForm1::N2Click);
    connectItem(N3, &TForm1::N3Click);
    connectItem(N6, &TForm1::N6Click);
    connectItem(N5, &TForm1::N5Click);
}

void TForm1::BuildToolBar(QWidget* client)
{
    ToolBar1 = new QToolBar(client);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, 345, 37);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto* measures = new ToolBarMeasures;
    measures->setParent(ToolBar1);
    ToolBar1->setStyle(measures);

    ToolBar1->addAction(N8);
    ToolBar1->addAction(N9);
    ToolBar1->addAction(N10);
    ToolButton3 = ToolBar1->addSeparator();
    ToolBar1->widgetForAction(ToolButton3)->setStyle(measures);  // a widget's style is not its children's
    ToolBar1->addAction(G1);
    ToolBar1->addAction(N2);
    ToolBar1->addAction(N3);

    ToolButton1 = ToolButtonFor(N8, "ToolButton1");
    ToolButton2 = ToolButtonFor(N9, "ToolButton2");
    ToolButton4 = ToolButtonFor(N10, "ToolButton4");
    ToolButton5 = ToolButtonFor(G1, "ToolButton5");
    ToolButton6 = ToolButtonFor(N2, "ToolButton6");
    ToolButton7 = ToolButtonFor(N3, "ToolButton7");
}

QToolButton* TForm1::ToolButtonFor(QAction* item, const char* name)
{
    auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(item));
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(23, 23);
    button->installEventFilter(new ToolTipSuppressor(button));
    return button;
}

void TForm1::FormCreate(QObject* /*sender*/)
{
    const QSize screen = PrimaryScreenSize();
    SetOuterPosition(0, 0);
    SetOuterSize(screen.width(), screen.height() / 5);
}

void TForm1::FormClose(QObject* /*sender*/)
{
    // The last recording goes with the program; it may never have existed.
    std::error_code ignored;
    std::filesystem::remove(ApplicationTakeFiles().take, ignored);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    RunGuarded([this] { FormClose(this); });
    event->accept();
    // Ends the message loop even while the working windows, which refuse to
    // close, are still visible.
    QCoreApplication::exit(0);
}

void TForm1::CreateFileDialogs()
{
    KeepFileDialogsOutOfTheUserSettings();
    // Qt's own dialogs, the same on every desktop, so that a test can answer them.
    const auto makeDialog = [this](const char* name, QFileDialog::AcceptMode mode) {
        auto* dialog = new QFileDialog(this);
        dialog->setObjectName(QString::fromLatin1(name));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setAcceptMode(mode);
        dialog->setNameFilter(QStringLiteral("音律文件(*.qrv)"));
        dialog->setDefaultSuffix(QStringLiteral("qrv"));
        return dialog;
    };
    OpenDialog1 = makeDialog("OpenDialog1", QFileDialog::AcceptOpen);
    // The name need not exist: the manager judges the file and says what is wrong.
    OpenDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1 = makeDialog("SaveDialog1", QFileDialog::AcceptSave);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite);
}

QString TForm1::AskFileName(QFileDialog* dialog, const QString& offeredName)
{
    if (!offeredName.isEmpty()) {
        dialog->selectFile(offeredName);
    }
    if (!RunFileDialog(*dialog)) {
        return QString();
    }
    return dialog->selectedFiles().value(0);
}

void TForm1::N8Click(QObject* /*sender*/)
{
    const QString fileName = AskFileName(OpenDialog1, openDialogFileName_);
    if (!fileName.isEmpty()) {
        openDialogFileName_ = fileName;
        Form4->LoadTemperamentFile(QFile::encodeName(fileName).constData());
    }
    // Shown even after a cancel; the manager's menu check and tool button
    // are left as they are.
    Form4->ShowInFront();
}

void TForm1::N9Click(QObject* /*sender*/)
{
    if (currentFileName_.isEmpty()) {
        SaveWithDialog();
        return;
    }
    Form4->SaveTemperamentFile(QFile::encodeName(currentFileName_).constData());
}

void TForm1::N10Click(QObject* /*sender*/)
{
    SaveWithDialog();
}

void TForm1::SaveWithDialog()
{
    const QString fileName = AskFileName(SaveDialog1, currentFileName_);
    if (fileName.isEmpty()) {
        return;
    }
    // A name that could not be written does not become the current file name.
    if (Form4->SaveTemperamentFile(QFile::encodeName(fileName).constData())) {
        currentFileName_ = fileName;
    }
}

void TForm1::E1Click(QObject* /*sender*/)
{
    close();
}

void TForm1::G1Click(QObject* /*sender*/)
{
    ToggleWindow(G1, Form2);
}

void TForm1::N2Click(QObject* /*sender*/)
{
    ToggleWindow(N2, Form3);
}

void TForm1::N3Click(QObject* /*sender*/)
{
    ToggleWindow(N3, Form4);
}

void TForm1::N6Click(QObject* /*sender*/)
{
    ApplicationHelpViewer().OpenByKeyword(QString());
}

void TForm1::N5Click(QObject* /*sender*/)
{
    // Every use makes a further box; each stays with the main window until
    // the program ends.
    AboutBox = new TAboutBox(this);
    AboutBox->ShowCentredModal();
}
