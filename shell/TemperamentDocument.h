#pragma once
// The temperament table as a document: the one owner of the file it belongs
// to, of whether it has changed since it was last saved or loaded, and of the
// save and load calls. The main window supplies the dialogs and questions and
// shows the state in its title; the temperament manager reports changes.

#include <QObject>
#include <QString>

namespace tonarel {

class TemperamentManagerWindow;

class TemperamentDocument : public QObject {
    Q_OBJECT

public:
    /// A document with no current file and no unsaved changes, for the table
    /// of `manager`, which must outlive it.
    explicit TemperamentDocument(TemperamentManagerWindow& manager, QObject* parent = nullptr);

    /// The file the table belongs to, as the file dialogs name it (absolute);
    /// empty until a save or a load succeeds.
    const QString& CurrentFile() const { return currentFile_; }

    /// True after a new reading, an adjustment or a clear of a non-empty
    /// table since the last successful save or load (or since start).
    bool HasUnsavedChanges() const { return unsaved_; }

    /// Loads `fileName` into the table (the manager shows why a file is
    /// refused). On success the file becomes the current file and the table
    /// counts as saved; a refused file changes nothing. Returns the success.
    bool Open(const QString& fileName);

    /// Saves the table to `fileName` (the manager reports a failure). On
    /// success the file becomes the current file and the table counts as
    /// saved; a failure changes nothing. Returns the success.
    bool Save(const QString& fileName);

    /// The main window's title for this state: "Tonarel 1.0 (BETA)", then
    /// " — " and the current file's name without its folder, then " *" while
    /// there are unsaved changes, e.g. "Tonarel 1.0 (BETA) — piano1.qrv *".
    QString WindowTitle() const;

public slots:
    /// The table changed: it has unsaved changes from now on.
    void TableChanged();

signals:
    /// The current file or the unsaved state changed.
    void stateChanged();

private:
    void SetState(const QString& currentFile, bool unsaved);

    TemperamentManagerWindow& manager_;
    QString currentFile_;
    bool unsaved_ = false;
};

}  // namespace tonarel
