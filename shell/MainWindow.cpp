#include "shell/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProxyStyle>
#include <QShortcut>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>
#include <utility>

#include "forms/FileDialogRunner.h"
#include "forms/FileQuestions.h"
#include "forms/UserMessage.h"
#include "platform/HelpViewer.h"
#include "shell/AboutBox.h"
#include "wave/TakeFiles.h"

namespace tonarel {

namespace {

// Pictures of images by role.
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
/// gaps, and its separator toolSeparator 8 pixels wide. Qt's styles give a
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

}  // namespace

MainWindow::MainWindow() : TonarelForm(0, CloseBox::Shown, QSize(652, 126)), images(DrawImageList())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tonarel 1.0 (BETA)"));
    setWindowIcon(QIcon(DrawProgramPicture(32)));
    setBackgroundRole(QPalette::Button);

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    mainMenu = new QMenuBar(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    windowLayout->setMenuBar(mainMenu);
    BuildMenu();

    // The client area: the tool bar stands at its top-left corner, outside any
    // layout; the picture and the memo are aligned to the right edge.
    auto* client = new QWidget(this);
    windowLayout->addWidget(client);
    auto* clientLayout = new QHBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addStretch(1);

    programPicture = new QLabel(client);
    programPicture->setObjectName(QStringLiteral("Image1"));
    programPicture->setFixedWidth(33);
    programPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    programPicture->setPixmap(DrawProgramPicture(32));
    clientLayout->addWidget(programPicture);

    descriptionMemo = new QPlainTextEdit(client);
    descriptionMemo->setObjectName(QStringLiteral("Memo1"));
    descriptionMemo->setFixedWidth(284);
    descriptionMemo->setReadOnly(true);
    descriptionMemo->setMinimumHeight(0);
    clientLayout->addWidget(descriptionMemo);

    BuildToolBar(client);
    CreateFileDialogs();

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this,
            [] { RunGuarded([] { ApplicationHelpViewer().OpenAtContext(kMainWindowHelpContext); }); });

    BecomeMainForm(this, descriptionMemo);
}

MainWindow::~MainWindow()
{
    BecomeMainForm(nullptr, nullptr);
}

void MainWindow::BuildMenu()
{
    QMenu* file = mainMenu->addMenu(QStringLiteral("文件(&F)"));
    fileMenuItem = file->menuAction();
    openItem = file->addAction(images[OpenImage], QStringLiteral("打开(&O)"));
    saveItem = file->addAction(images[SaveImage], QStringLiteral("保存(&S)"));
    saveAsItem = file->addAction(images[SaveAsImage], QStringLiteral("保存为(&A)"));
    fileSeparator = file->addSeparator();
    exitItem = file->addAction(images[ExitImage], QStringLiteral("退出（&E）"));

    QMenu* window = mainMenu->addMenu(QStringLiteral("窗口(&W)"));
    windowMenuItem = window->menuAction();
    oscilloscopeItem = window->addAction(images[OscilloscopeImage], QStringLiteral("示波器(&G)"));
    pitchMeterItem = window->addAction(images[PitchMeterImage], QStringLiteral("音准仪(&Y)"));
    temperamentManagerItem = window->addAction(images[TemperamentManagerImage], QStringLiteral("音律管理器(&M)"));
    for (QAction* item : {oscilloscopeItem, pitchMeterItem, temperamentManagerItem}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
    // The windows added for tuning live outside the start-up tiling: each item
    // brings its window to the front; the window's own close box hides it.
    tunerItem = window->addAction(QIcon(DrawProgramPicture(16)), QStringLiteral("调音器"));
    pianoTuningItem = window->addAction(DrawKeyboardPicture(), QStringLiteral("钢琴调律"));

    QMenu* help = mainMenu->addMenu(QStringLiteral("帮助(&H)"));
    helpMenuItem = help->menuAction();
    helpTopicsItem = help->addAction(images[HelpTopicsImage], QStringLiteral("帮助主题(&H)"));
    aboutItem = help->addAction(QStringLiteral("关于(&A)"));

    // The items keep their design names as their object names.
    const std::pair<QAction*, const char*> designNames[] = {
        {fileMenuItem, "N7"},   {openItem, "N8"},         {saveItem, "N9"},         {saveAsItem, "N10"},
        {fileSeparator, "N11"}, {exitItem, "E1"},         {windowMenuItem, "N1"},   {oscilloscopeItem, "G1"},
        {pitchMeterItem, "N2"}, {temperamentManagerItem, "N3"}, {helpMenuItem, "N4"}, {helpTopicsItem, "N6"},
        {aboutItem, "N5"},      {tunerItem, "TunerItem"}, {pianoTuningItem, "PianoTuningItem"}};
    for (const auto& [item, name] : designNames) {
        item->setObjectName(QString::fromLatin1(name));
    }

    // Connected after the design states are set. triggered() comes after the
    // automatic check, so the toggles see the new state.
    const auto connectItem = [this](QAction* item, void (MainWindow::*handler)(QObject*)) {
        connect(item, &QAction::triggered, this, [this, item, handler] { RunGuarded([&] { (this->*handler)(item); }); });
    };
    connectItem(openItem, &MainWindow::OpenClick);
    connectItem(saveItem, &MainWindow::SaveClick);
    connectItem(saveAsItem, &MainWindow::SaveAsClick);
    connectItem(exitItem, &MainWindow::ExitClick);
    for (QAction* item : {oscilloscopeItem, pitchMeterItem, temperamentManagerItem}) {
        connect(item, &QAction::triggered, this, [this, item] { RunGuarded([&] { WindowItemClick(item); }); });
    }
    connectItem(helpTopicsItem, &MainWindow::HelpTopicsClick);
    connectItem(aboutItem, &MainWindow::AboutClick);
}

void MainWindow::BuildToolBar(QWidget* client)
{
    toolBar = new QToolBar(client);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setGeometry(0, 0, 345, 37);
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto* measures = new ToolBarMeasures;
    measures->setParent(toolBar);
    toolBar->setStyle(measures);

    toolBar->addAction(openItem);
    toolBar->addAction(saveItem);
    toolBar->addAction(saveAsItem);
    toolSeparator = toolBar->addSeparator();
    toolBar->widgetForAction(toolSeparator)->setStyle(measures);  // a widget's style is not its children's
    toolBar->addAction(oscilloscopeItem);
    toolBar->addAction(pitchMeterItem);
    toolBar->addAction(temperamentManagerItem);
    toolBar->addAction(tunerItem);
    toolBar->addAction(pianoTuningItem);

    openButton = ToolButtonFor(openItem, "ToolButton1");
    saveButton = ToolButtonFor(saveItem, "ToolButton2");
    saveAsButton = ToolButtonFor(saveAsItem, "ToolButton4");
    oscilloscopeButton = ToolButtonFor(oscilloscopeItem, "ToolButton5");
    pitchMeterButton = ToolButtonFor(pitchMeterItem, "ToolButton6");
    temperamentManagerButton = ToolButtonFor(temperamentManagerItem, "ToolButton7");
    tunerButton = ToolButtonFor(tunerItem, "TunerButton");
    pianoTuningButton = ToolButtonFor(pianoTuningItem, "PianoTuningButton");
}

QToolButton* MainWindow::ToolButtonFor(QAction* item, const char* name)
{
    auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(item));
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(23, 23);
    button->installEventFilter(new ToolTipSuppressor(button));
    return button;
}

void MainWindow::FormClose(QObject* /*sender*/)
{
    // The last recording goes with the program; it may never have existed.
    std::error_code ignored;
    std::filesystem::remove(ApplicationTakeFiles().take, ignored);
}

void MainWindow::AddEndingQuestion(std::function<bool()> mayEnd)
{
    endingQuestions_.push_back(std::move(mayEnd));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool closing = true;
    RunGuarded([this, &closing] {
        closing = SettleUnsavedChanges();
        for (const auto& mayEnd : endingQuestions_) {
            closing = closing && mayEnd();
        }
        if (closing) {
            FormClose(this);
        }
    });
    if (!closing) {
        event->ignore();
        return;
    }
    event->accept();
    // Ends the message loop even while the working windows, which refuse to
    // close, are still visible.
    QCoreApplication::exit(0);
}

void MainWindow::CreateFileDialogs()
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
    openDialog = makeDialog("OpenDialog1", QFileDialog::AcceptOpen);
    // The name need not exist: the manager judges the file and says what is wrong.
    openDialog->setFileMode(QFileDialog::AnyFile);
    saveDialog = makeDialog("SaveDialog1", QFileDialog::AcceptSave);
    saveDialog->setOption(QFileDialog::DontConfirmOverwrite);
}

QString MainWindow::AskFileName(QFileDialog* dialog, const QString& offeredName)
{
    if (!offeredName.isEmpty()) {
        dialog->selectFile(offeredName);
    }
    if (!RunFileDialog(*dialog)) {
        return QString();
    }
    return dialog->selectedFiles().value(0);
}

void MainWindow::OpenClick(QObject* /*sender*/)
{
    if (!SettleUnsavedChanges()) {
        return;
    }
    const QString fileName = AskFileName(openDialog, openDialogFileName_);
    if (!fileName.isEmpty()) {
        openDialogFileName_ = fileName;
        if (document_ != nullptr) {
            document_->Open(fileName);
        }
    }
    // Shown even after a cancel; the manager's menu check and tool button
    // are left as they are.
    if (const auto bound = windowOfItem_.find(temperamentManagerItem); bound != windowOfItem_.end()) {
        bound->second->ShowInFront();
    }
}

void MainWindow::SaveClick(QObject* /*sender*/)
{
    SaveTable();
}

void MainWindow::SaveAsClick(QObject* /*sender*/)
{
    SaveWithDialog();
}

bool MainWindow::SaveTable()
{
    if (document_ == nullptr) {
        return false;
    }
    if (document_->CurrentFile().isEmpty()) {
        return SaveWithDialog();
    }
    return document_->Save(document_->CurrentFile());
}

bool MainWindow::SaveWithDialog()
{
    if (document_ == nullptr) {
        return false;
    }
    const QString fileName = AskFileName(saveDialog, document_->CurrentFile());
    if (fileName.isEmpty()) {
        return false;
    }
    // The dialog itself does not ask (a test's answers bypass it); the
    // question comes here, once, for every existing file.
    if (QFileInfo::exists(fileName) && !AskToReplaceFile(this, QDir::toNativeSeparators(fileName))) {
        return false;
    }
    // A name that could not be written does not become the current file.
    return document_->Save(fileName);
}

bool MainWindow::SettleUnsavedChanges()
{
    if (document_ == nullptr || !document_->HasUnsavedChanges()) {
        return true;
    }
    switch (AskToSaveChanges(this)) {
    case UnsavedChangesAnswer::Save:
        return SaveTable();
    case UnsavedChangesAnswer::Discard:
        return true;
    case UnsavedChangesAnswer::Cancel:
        break;
    }
    return false;
}

void MainWindow::SetDocument(TemperamentDocument* document)
{
    document_ = document;
    connect(document_, &TemperamentDocument::stateChanged, this, &MainWindow::ShowDocumentState);
    ShowDocumentState();
}

void MainWindow::ShowDocumentState()
{
    if (document_ != nullptr) {
        setWindowTitle(document_->WindowTitle());
    }
}

void MainWindow::ExitClick(QObject* /*sender*/)
{
    close();
}

void MainWindow::BindWindowItem(QAction* item, TonarelForm* window)
{
    windowOfItem_[item] = window;
}

void MainWindow::WindowItemClick(QAction* item)
{
    // The button follows the item's action by itself.
    const auto bound = windowOfItem_.find(item);
    if (bound == windowOfItem_.end()) {
        return;
    }
    if (item->isChecked()) {
        bound->second->ShowInFront();
    } else {
        bound->second->hide();
    }
}

void MainWindow::HelpTopicsClick(QObject* /*sender*/)
{
    ApplicationHelpViewer().OpenByKeyword(QString());
}

void MainWindow::AboutClick(QObject* /*sender*/)
{
    // Every use makes a further box; each stays with the main window until
    // the program ends.
    (new AboutBox(this))->ShowCentredModal();
}

}  // namespace tonarel
