#pragma once
// Every file dialog the program shows is run through here, so that tests can
// answer it instead of a person (a modal dialog would stop a test run), and
// so that a cancelled dialog and the user's configuration are left alone.

#include <QFileDialog>
#include <QString>
#include <functional>
#include <optional>

namespace tonarel {

/// Runs `dialog` modally as it stands (its mode, filter and offered name set
/// by the caller). Returns true when the user confirmed a name, which
/// dialog.selectedFiles() then holds (with the default suffix added by the
/// dialog's own rules); false when the user cancelled. A cancelled dialog is
/// put back as it was before it ran, showing the same folder and offering the
/// same name: what was typed, chosen or browsed to in it is forgotten.
bool RunFileDialog(QFileDialog& dialog);

/// Keeps the file dialogs of this process out of the user's configuration.
/// Qt's own dialogs record their history, last folder and view state in the
/// user's "QtProject.conf" when they are destroyed, and read them back into
/// the next one made. Tonarel keeps no settings: after this every dialog
/// starts from its design state and nothing is written. Call before the first
/// dialog is made; it holds for the whole process.
void KeepFileDialogsOutOfTheUserSettings();

/// Answers the dialogs in place of the user: the handler sees the dialog as
/// it would open and returns the name to type into it and confirm (relative
/// names count from the dialog's directory), or no name to cancel it. The
/// dialog's own rules apply to the typed name as to a user's. An empty
/// handler restores the real dialogs.
using FileDialogHandler = std::function<std::optional<QString>(const QFileDialog&)>;
void SetFileDialogHandler(FileDialogHandler handler);

}  // namespace tonarel
