#pragma once
// Every file dialog the program shows is run through here, so that tests can
// answer it instead of a person (a modal dialog would stop a test run).

#include <QFileDialog>
#include <QString>
#include <functional>
#include <optional>

namespace tonarel {

/// Runs `dialog` modally as it stands (its mode, filter and offered name set
/// by the caller). Returns true when the user confirmed a name, which
/// dialog.selectedFiles() then holds (with the default suffix added by the
/// dialog's own rules); false when the user cancelled.
bool RunFileDialog(QFileDialog& dialog);

/// Answers the dialogs in place of the user: the handler sees the dialog as
/// it would open and returns the name to type into it and confirm (relative
/// names count from the dialog's directory), or no name to cancel it. The
/// dialog's own rules apply to the typed name as to a user's. An empty
/// handler restores the real dialogs.
using FileDialogHandler = std::function<std::optional<QString>(const QFileDialog&)>;
void SetFileDialogHandler(FileDialogHandler handler);

}  // namespace tonarel
