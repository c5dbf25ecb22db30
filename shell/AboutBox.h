#pragma once
// The about box: the program's name, version, maker and licence.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    /// A hidden box, client area 298 × 213, owned by `owner` (the main window).
    explicit TAboutBox(QWidget* owner);

    /// Centres the box on the primary screen and shows it modally; returns
    /// when the user has closed it (QDialog::Accepted after "OK").
    int ShowCentredModal();

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;  // "Tonarel"
    QLabel* Version;      // "Version : " and the version of the build, e.g. "Version : 1.0"
    QLabel* Copyright;    // the maker's credit line
    QLineEdit* Edit1;     // the licence, read-only (there is no web address to show)
    QLineEdit* Edit2;     // where the licence's text is published, read-only
    QPushButton* OKButton;
};

/// The about box created last: one at start-up, then one per About command.
extern TAboutBox* AboutBox;
