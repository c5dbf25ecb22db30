#pragma once
// The about box: the program's name, version, maker and licence.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tonarel {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    /// A hidden box, client area 298 × 213, owned by `owner` (the main window).
    explicit AboutBox(QWidget* owner);

    /// Centres the box on the primary screen and shows it modally; returns
    /// when the user has closed it (QDialog::Accepted after "OK").
    int ShowCentredModal();

    // Design names (the objectName of each) in brackets.
    QFrame* panel;                    ///< [Panel1]
    QLabel* programIcon;              ///< [ProgramIcon]
    QLabel* productName;              ///< [ProductName] "Tonarel"
    QLabel* version;                  ///< [Version] "Version : " and the build's version, e.g. "Version : 1.0"
    QLabel* copyright;                ///< [Copyright] the maker's credit line
    QLineEdit* licenceField;          ///< [Edit1] the licence, read-only (there is no web address to show)
    QLineEdit* licenceAddressField;   ///< [Edit2] where the licence's text is published, read-only
    QPushButton* okButton;            ///< [OKButton]
};

}  // namespace tonarel
