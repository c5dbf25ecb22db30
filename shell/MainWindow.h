#pragma once
// The main window: a strip across the top of the screen with the menu, the
// tool bar, a picture and the memo in which the window activated last
// describes itself. Closing it ends the program.
//
// It knows the working windows only as forms bound to its Window menu's items
// (BindWindowItem), and the temperament table only as a TemperamentDocument
// (SetDocument): the shell binds them. Its File menu supplies the dialogs and
// questions; the document owns the current file and the unsaved state, which
// the title shows: "Tonarel 1.0 (BETA) — piano1.qrv *".

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <map>
#include <vector>

#include "forms/TonarelForm.h"
#include "shell/Pictures.h"
#include "shell/TemperamentDocument.h"

namespace tonarel {

class MainWindow : public TonarelForm {
    Q_OBJECT

public:
    /// A hidden window of the design size with its menu, tool bar and file
    /// dialogs; the shell places it and binds the working windows.
    MainWindow();
    ~MainWindow() override;

    // Menu tree. A submenu's item is its menu's action. Design names (the
    // objectName of each) in brackets.
    QMenuBar* mainMenu;                   ///< [MainMenu1]
    QAction* fileMenuItem;                ///< [N7] 文件(&F)
    QAction* openItem;                    ///< [N8]   打开(&O)
    QAction* saveItem;                    ///< [N9]   保存(&S)
    QAction* saveAsItem;                  ///< [N10]  保存为(&A)
    QAction* fileSeparator;               ///< [N11]  separator
    QAction* exitItem;                    ///< [E1]   退出（&E）
    QAction* windowMenuItem;              ///< [N1] 窗口(&W)
    QAction* oscilloscopeItem;            ///< [G1]   示波器(&G), checkable
    QAction* pitchMeterItem;              ///< [N2]   音准仪(&Y), checkable
    QAction* temperamentManagerItem;      ///< [N3]   音律管理器(&M), checkable
    QAction* tunerItem;                   ///< [TunerItem]       调音器: shows the tuner in front
    QAction* pianoTuningItem;             ///< [PianoTuningItem] 钢琴调律: shows the piano tuning window in front
    QAction* helpMenuItem;                ///< [N4] 帮助(&H)
    QAction* helpTopicsItem;              ///< [N6]   帮助主题(&H)
    QAction* aboutItem;                   ///< [N5]   关于(&A)

    // The tool bar: each button is bound to a menu item through that item's
    // action, so it shows the item's picture and check state, and a click on
    // it is the choice of the item.
    QToolBar* toolBar;                    ///< [ToolBar1]
    QToolButton* openButton;              ///< [ToolButton1] openItem
    QToolButton* saveButton;              ///< [ToolButton2] saveItem
    QToolButton* saveAsButton;            ///< [ToolButton4] saveAsItem
    QAction* toolSeparator;               ///< [ToolButton3] separator
    QToolButton* oscilloscopeButton;      ///< [ToolButton5] oscilloscopeItem
    QToolButton* pitchMeterButton;        ///< [ToolButton6] pitchMeterItem
    QToolButton* temperamentManagerButton;  ///< [ToolButton7] temperamentManagerItem
    QToolButton* tunerButton;             ///< [TunerButton] tunerItem
    QToolButton* pianoTuningButton;       ///< [PianoTuningButton] pianoTuningItem

    ImageList images;                     ///< [ImageList1]
    QLabel* programPicture;               ///< [Image1]
    QPlainTextEdit* descriptionMemo;      ///< [Memo1] read-only; the description of the active window

    // The File menu's dialogs, kept for the whole run so that each offers the
    // name last confirmed in it; saveDialog offers the document's current
    // file when there is one.
    QFileDialog* openDialog;              ///< [OpenDialog1]
    QFileDialog* saveDialog;              ///< [SaveDialog1]

    /// Makes `item`, a checkable item of the Window menu, show `window` in
    /// front when it becomes checked and hide it when it is cleared. The
    /// window stays the caller's. The item bound to the temperament manager
    /// is also the window that Open shows.
    void BindWindowItem(QAction* item, TonarelForm* window);

    /// Adds a question put before the program ends (after the temperament
    /// table's): `mayEnd` returns false when the user chose to stay, and the
    /// main window then stays open. The shell adds one per window that holds
    /// a document of its own.
    void AddEndingQuestion(std::function<bool()> mayEnd);

    /// Makes the File menu work on `document` (not owned; it must outlive
    /// this window) and shows its state in the title from now on.
    void SetDocument(TemperamentDocument* document);

    /// Before the table is replaced or dropped: true when it may go, that is
    /// when it has no unsaved changes, or the user answered "不保存", or
    /// "保存" and the save succeeded; false when the user answered "取消" (or
    /// cancelled the save), and then nothing has changed.
    bool SettleUnsavedChanges();

    /// Deletes the last take: the program's take goes with it.
    void FormClose(QObject* sender);
    /// Settles unsaved changes (SettleUnsavedChanges; "取消" ends the
    /// command), asks for a temperament file with openDialog and opens it as
    /// the document's file; then, chosen or not, shows the temperament
    /// manager in front (its item's check and tool button stay as they are).
    void OpenClick(QObject* sender);
    /// Saves to the current file, or asks for one as Save As does while there
    /// is none.
    void SaveClick(QObject* sender);
    /// Asks for a name with saveDialog (offering the current file), asks
    /// before replacing an existing file, and saves there.
    void SaveAsClick(QObject* sender);
    void ExitClick(QObject* sender);
    /// The item's check mark was inverted before this runs: shows or hides
    /// the window bound to it.
    void WindowItemClick(QAction* item);
    void HelpTopicsClick(QObject* sender);
    /// Shows a new about box, centred and modal; each stays with this window
    /// until the program ends.
    void AboutClick(QObject* sender);

public slots:
    /// Shows the document's state in the title.
    void ShowDocumentState();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void BuildToolBar(QWidget* client);
    QToolButton* ToolButtonFor(QAction* item, const char* name);
    void CreateFileDialogs();
    /// Runs `dialog` offering `offeredName`; the confirmed name, or an empty
    /// string when the user cancelled.
    QString AskFileName(QFileDialog* dialog, const QString& offeredName);
    /// Save and Save As; true when the table was saved.
    bool SaveTable();
    bool SaveWithDialog();

    std::map<const QAction*, TonarelForm*> windowOfItem_;
    std::vector<std::function<bool()>> endingQuestions_;
    TemperamentDocument* document_ = nullptr;
    QString openDialogFileName_;  ///< last name confirmed in openDialog
};

}  // namespace tonarel
