#pragma once
// The main window: a strip across the top of the screen with the menu, the
// tool bar, a picture and the memo in which the window activated last
// describes itself. Closing it ends the program.
//
// It knows the working windows only as forms bound to its Window menu's items
// (BindWindowItem), and the temperament table only through its file
// signals: the shell binds and connects them.

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <map>

#include "forms/TonarelForm.h"
#include "shell/Pictures.h"

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

    ImageList images;                     ///< [ImageList1]
    QLabel* programPicture;               ///< [Image1]
    QPlainTextEdit* descriptionMemo;      ///< [Memo1] read-only; the description of the active window

    // The File menu's dialogs, kept for the whole run so that each offers the
    // name last confirmed in it. The name confirmed in saveDialog (with the
    // save succeeding) is the current file name that Save writes to without
    // asking; the name of openDialog serves only that dialog.
    QFileDialog* openDialog;              ///< [OpenDialog1]
    QFileDialog* saveDialog;              ///< [SaveDialog1]

    /// Makes `item`, a checkable item of the Window menu, show `window` in
    /// front when it becomes checked and hide it when it is cleared. The
    /// window stays the caller's. The item bound to the temperament manager
    /// is also the window that Open shows.
    void BindWindowItem(QAction* item, TonarelForm* window);

    /// Deletes the last take: the program's take goes with it.
    void FormClose(QObject* sender);
    /// Asks for a temperament file with openDialog and emits openRequested
    /// with the name chosen; then, chosen or not, shows the temperament
    /// manager in front (its item's check and tool button stay as they are).
    void OpenClick(QObject* sender);
    /// Emits saveRequested with the current file name, or asks for one as
    /// Save As does while there is none.
    void SaveClick(QObject* sender);
    /// Asks for a name with saveDialog (offering the current one) and emits
    /// saveRequested with it.
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
    /// The temperament table was saved to `fileName`: it becomes the current
    /// file name that Save writes to without asking. A save that failed is
    /// not reported here, and the current name stays.
    void TableSaved(const QString& fileName);

signals:
    /// The user chose `fileName` in the Open dialog (the name as the dialog
    /// gives it; QFile::encodeName makes the file system's bytes of it).
    void openRequested(const QString& fileName);
    /// The temperament table is to be saved to `fileName`; the receiver
    /// answers a successful save with TableSaved.
    void saveRequested(const QString& fileName);

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
    /// Asks for a name with saveDialog and asks for the table to be saved there.
    void SaveWithDialog();

    std::map<const QAction*, TonarelForm*> windowOfItem_;
    QString openDialogFileName_;  ///< last name confirmed in openDialog
    QString currentFileName_;     ///< empty until a save through saveDialog succeeds
};

}  // namespace tonarel
