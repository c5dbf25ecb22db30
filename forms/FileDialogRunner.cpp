#include "forms/FileDialogRunner.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSettings>
#include <QUrl>

namespace tonarel {

namespace {

FileDialogHandler& Handler()
{
    static FileDialogHandler handler;
    return handler;
}

/// What a file dialog shows as it opens: its folder and the name in its name
/// field. Qt offers no call that empties that field, so the widget-based
/// dialog's own field and views are reached by the names Qt gives them; a
/// dialog without them (a native one) keeps only its folder.
class DialogOffer {
public:
    explicit DialogOffer(const QFileDialog& dialog) : folder_(dialog.directoryUrl())
    {
        if (const QLineEdit* field = NameField(dialog)) {
            name_ = field->text();
        }
    }

    void RestoreTo(QFileDialog& dialog) const
    {
        // A file chosen in the views writes its name into the field, so the
        // choice goes first.
        if (auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
            view != nullptr && view->selectionModel() != nullptr) {
            view->selectionModel()->clear();
        }
        dialog.setDirectoryUrl(folder_);
        if (QLineEdit* field = NameField(dialog)) {
            field->setText(name_);
        }
    }

private:
    static QLineEdit* NameField(const QFileDialog& dialog)
    {
        return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    }

    QUrl folder_;
    QString name_;
};

}  // namespace

bool RunFileDialog(QFileDialog& dialog)
{
    const DialogOffer before(dialog);
    bool confirmed = false;
    if (!Handler()) {
        confirmed = dialog.exec() == QDialog::Accepted;
    } else {
        dialog.setResult(QDialog::Rejected);
        const std::optional<QString> answer = Handler()(dialog);
        if (answer) {
            dialog.selectFile(*answer);
            // QFileDialog::accept() is protected; through QDialog it is the
            // dialog's own confirmation, with its suffix and overwrite rules.
            static_cast<QDialog&>(dialog).accept();
        }
        confirmed = dialog.result() == QDialog::Accepted;
    }
    if (!confirmed) {
        before.RestoreTo(dialog);
    }
    return confirmed;
}

void SetFileDialogHandler(FileDialogHandler handler)
{
    Handler() = std::move(handler);
}

void KeepFileDialogsOutOfTheUserSettings()
{
    // The dialogs open their settings as QSettings(UserScope, "QtProject") in
    // the native format, which reads the user's file and then the system's.
    // Both places are moved below /dev/null, where no folder can ever be
    // made: nothing is found there, and writing fails without a word.
    const QString nowhere = QStringLiteral("/dev/null/tonarel-keeps-no-settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(format, scope, nowhere);
        }
    }
}

}  // namespace tonarel
