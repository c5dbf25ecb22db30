#pragma once
// The temperament manager window: the musician's view of the temperament
// table. Two lists of judged readings (treble above the reference note, bass
// below it), the options that steer how the next reading is taken, a memo
// with the details of the selected line, and a button that clears the
// records. The table itself, its rules and its file live in
// temperament/core/TemperamentTable.h and temperament/core/TemperamentFile.h;
// this window gathers its options, asks the table, and shows the answer. It
// knows no other window: the shell hands it the pitch meter's readings and
// mirrors "从音准仪输入" with the pitch meter's "输入到音律管理器".

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "forms/TonarelForm.h"
#include "temperament/core/TemperamentTable.h"
#include "temperament/TemperamentListBox.h"

namespace tonarel {

class TemperamentManagerWindow : public TonarelForm {
    Q_OBJECT

public:
    /// A hidden window of the design size with an empty table; the shell
    /// places it.
    TemperamentManagerWindow();

    // Design names (the objectName of each) in brackets.
    TemperamentListBox* trebleList;     ///< [ListBox1] treble lines, line k = slot k
    TemperamentListBox* bassList;       ///< [ListBox2] bass lines, line k = slot 60 + k; disabled at start
    QLineEdit* referencePitchField;     ///< [Edit1] "440", read-only, disabled at start; never read
    QCheckBox* fixedReferenceBox;       ///< [CheckBox1] "指定标准音": scale on 440 Hz instead of the first reading
    QRadioButton* trebleButton;         ///< [RadioButton1] "高音": readings go to the treble direction
    QRadioButton* bassButton;           ///< [RadioButton2] "低音": readings go to the bass direction
    QCheckBox* inputFromMeterBox;       ///< [CheckBox2] "从音准仪输入"
    QGroupBox* inputModeGroup;          ///< [RadioGroup1] "输入方式", disabled until inputFromMeterBox is ticked
    QButtonGroup* inputModeItems;       ///< its items by id: 0 "音律输入", 1 "音律调整"
    QPushButton* clearButton;           ///< [BitBtn1] "清空记录"
    QLabel* detailsCaption;             ///< [Label1] "详细情况：  "
    QPlainTextEdit* detailsMemo;        ///< [Memo1] details of the selected line, lines 0..4

    /// The item index of inputModeGroup: 0 input mode, 1 adjust mode.
    int InputModeIndex() const;

    /// Replaces the table by the temperament file `fileName` (the file
    /// system's narrow bytes, QFile::encodeName). The file is read and
    /// checked whole first: a file that is not a temperament file is refused
    /// with "此文件不是音律文件!" and changes nothing; a named pipe or device
    /// is refused at once, without waiting on it, with its own message. An
    /// accepted file clears the records and is replayed, bass first, in input
    /// mode; the window ends with "高音" chosen. Returns whether the file was
    /// accepted.
    bool LoadTemperamentFile(const char* fileName);

    /// Clears the records: both lists, the details' source and the table.
    /// Emits tableChanged when there was an entry to clear.
    void ClearRecords();

    /// Writes the table to the temperament file `fileName` (narrow bytes as
    /// above), replacing any file of that name. The old file is replaced only
    /// once the new one is complete. Returns false, after showing an error
    /// box that names the file, when it could not be written.
    bool SaveTemperamentFile(const char* fileName);

    void TrebleButtonClick(QObject* sender);
    void BassButtonClick(QObject* sender);
    void FixedReferenceBoxClick(QObject* sender);
    /// Discards every typed key except the digits and backspace (key = QChar()).
    void ReferencePitchFieldKeyPress(QObject* sender, QChar& key);
    /// Enables the input mode group with the box and emits inputFromMeterToggled.
    void InputFromMeterBoxClick(QObject* sender);
    /// "清空记录": emits clearRequested; the records go once ClearRecords is
    /// called (the shell first settles unsaved changes).
    void ClearButtonClick(QObject* sender);
    void TrebleListClick(QObject* sender);
    void BassListClick(QObject* sender);

public slots:
    /// Takes one reading in hertz into the table with the options as they
    /// stand now: appends it to the chosen direction's list (input mode) or
    /// replaces that list's selected line (adjust mode), judged against its
    /// standard frequency. A reading that cannot be taken (no line selected
    /// to adjust, 60 entries already, a first reading that cannot be the
    /// base) changes nothing and is explained in a message box. A reading
    /// taken emits tableChanged.
    void AddReading(float hz);

    /// Ticks or clears "从音准仪输入". A new state runs InputFromMeterBoxClick;
    /// the state it has changes nothing, which ends a mirror's exchange.
    void SetInputFromMeter(bool input);

signals:
    /// "从音准仪输入" was ticked (true) or cleared (false).
    void inputFromMeterToggled(bool input);
    /// The table changed by a reading, an adjustment or a clear (not by a load).
    void tableChanged();
    /// The user asked to clear the records with "清空记录".
    void clearRequested();

private:
    void CreateControls();
    void ConnectHandlers();
    ReadingOptions OptionsNow() const;
    void ApplyLineChange(const ListLineChange& change);
    void ShowDetails(TemperamentDirection direction, int line);
    void ClearLists();

    TemperamentTable table_;
};

}  // namespace tonarel
