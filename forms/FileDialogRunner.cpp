#include "forms/FileDialogRunner.h"

namespace tonarel {

namespace {

FileDialogHandler& Handler()
{
    static FileDialogHandler handler;
    return handler;
}

}  // namespace

bool RunFileDialog(QFileDialog& dialog)
{
    if (!Handler()) {
        return dialog.exec() == QDialog::Accepted;
    }
    dialog.setResult(QDialog::Rejected);
    const std::optional<QString> answer = Handler()(dialog);
    if (answer) {
        dialog.selectFile(*answer);
        // QFileDialog::accept() is protected; through QDialog it is the
        // dialog's own confirmation, with its suffix and overwrite rules.
        static_cast<QDialog&>(dialog).accept();
    }
    return dialog.result() == QDialog::Accepted;
}

void SetFileDialogHandler(FileDialogHandler handler)
{
    Handler() = std::move(handler);
}

}  // namespace tonarel
