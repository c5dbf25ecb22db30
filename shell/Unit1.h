#pragma once
// The main window: a strip across the top of the screen with the menu, the
// tool bar, a picture and the memo in which the window activated last
// describes itself. Closing it ends the program.

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "forms/TonarelForm.h"
#include "shell/Pictures.h"

class TForm1 : public tonarel::TonarelForm {
    Q_OBJECT

public:
    TForm1();
    ~TForm1() override;

    // Menu tree. A submenu's item is its menu's action.
    QMenuBar* MainMenu1;
    QAction* N7;   // 文件(&F)
    QAction* N8;   //   打开(&O)
    QAction* N9;   //   保存(&S)
    QAction* N10;  //   保存为(&A)
    QAction* N11;  //   separator
    QAction* E1;   //   退出（&E）
    QAction* N1;   // 窗口(&W)
    QAction* G1;   //   示波器(&G), checkable
    QAction* N2;   //   音准仪(&Y), checkable
    QAction* N3;   //   音律管理器(&M), checkable
    QAction* N4;   // 帮助(&H)
    QAction* N6;   //   帮助主题(&H)
    QAction* N5;   //   关于(&A)

    // The tool bar: each button is bound to a menu item through that item's
    // action, so it shows the item's picture and check state, and a click on
    // it is the choice of the item.
    QToolBar* ToolBar1;
    QToolButton* ToolButton1;  // N8
    QToolButton* ToolButton2;  // N9
    QToolButton* ToolButton4;  // N10
    QAction* ToolButton3;      // separator
    QToolButton* ToolButton5;  // G1
    QToolButton* ToolButton6;  // N2
    QToolButton* ToolButton7;  // N3

    tonarel::ImageList ImageList1;
    QLabel* Image1;
    QPlainTextEdit* Memo1;  ///< read-only; the description of the active window

    // The File menu's dialogs, kept for the whole run so that each offers the
    // name last confirmed in it. The name confirmed in SaveDialog1 (with the
    // save succeeding) is the current file name that Save writes to without
    // asking; the name of OpenDialog1 serves only that dialog.
    QFileDialog* OpenDialog1;
    QFileDialog* SaveDialog1;

    void FormCreate(QObject* sender);
    void FormClose(QObject* sender);
    void N8Click(QObject* sender);
    void N9Click(QObject* sender);
    void N10Click(QObject* sender);
    void E1Click(QObject* sender);
    void G1Click(QObject* sender);
    void N2Click(QObject* sender);
    void N3Click(QObject* sender);
    void N6Click(QObject* sender);
    void N5Click(QObject* sender);

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
    /// Asks for a name with SaveDialog1 and saves the temperament table there.
    void SaveWithDialog();

    QString openDialogFileName_;  ///< last name confirmed in OpenDialog1
    QString currentFileName_;     ///< empty until a save through SaveDialog1 succeeds
};

/// The main window, from start-up to exit.
extern TForm1* Form1;
