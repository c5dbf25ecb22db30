#pragma once
// The temperament manager window: the musician's view of the temperament
// table. Two lists of judged readings (treble above the reference note, bass
// below it), the options that steer how the next reading is taken, a memo
// with the details of the selected line, and a button that clears the
// records. The table itself, its rules and its file live in
// temperament/TemperamentTable.h and temperament/TemperamentFile.h; this
// window gathers its options, asks the table, and shows the answer.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "forms/TonarelForm.h"
#include "temperament/TemperamentListBox.h"
#include "temperament/core/TemperamentTable.h"

class TForm4 : public tonarel::TonarelForm {
    Q_OBJECT

public:
    TForm4();

    tonarel::TemperamentListBox* ListBox1;  ///< treble lines, line k = slot k
    tonarel::TemperamentListBox* ListBox2;  ///< bass lines, line k = slot 60 + k; disabled at start
    QLineEdit* Edit1;              ///< "440", read-only, disabled at start; never read
    QCheckBox* CheckBox1;          ///< "指定标准音": scale on 440 Hz instead of the first reading
    QRadioButton* RadioButton1;    ///< "高音": readings go to the treble direction
    QRadioButton* RadioButton2;    ///< "低音": readings go to the bass direction
    QCheckBox* CheckBox2;          ///< "从音准仪输入", mirrors the pitch meter's CheckBox3
    QGroupBox* RadioGroup1;        ///< "输入方式", disabled until CheckBox2 is ticked
    QButtonGroup* RadioGroup1Items;  ///< its items by id: 0 "音律输入", 1 "音律调整"
    QPushButton* BitBtn1;          ///< "清空记录"
    QLabel* Label1;                ///< "详细情况：  "
    QPlainTextEdit* Memo1;         ///< details of the selected line, lines 0..4

    /// The item index of RadioGroup1: 0 input mode, 1 adjust mode.
    int RadioGroup1ItemIndex() const;

    /// Takes one reading in hertz into the table with the options as they
    /// stand now: appends it to the chosen direction's list (input mode) or
    /// replaces that list's selected line (adjust mode), judged against its
    /// standard frequency. A reading that cannot be taken (no line selected
    /// to adjust, 60 entries already, a first reading that cannot be the
    /// base) changes nothing and is explained in a message box.
    void AddReading(float hz);

    /// Replaces the table by the temperament file `fileName` (the file
    /// system's narrow bytes, QFile::encodeName). The file is read and
    /// checked whole first: a file that is not a temperament file is refused
    /// with "此文件不是音律文件!" and changes nothing; a named pipe or device
    /// is refused at once, without waiting on it, with its own message. An accepted file clears
    /// the records and is replayed, bass first, in input mode; the window
    /// ends with "高音" chosen.
    void LoadTemperamentFile(const char* fileName);

    /// Writes the table to the temperament file `fileName` (narrow bytes as
    /// above), replacing any file of that name. The old file is replaced only
    /// once the new one is complete. Returns false, after showing an error
    /// box that names the file, when it could not be written.
    bool SaveTemperamentFile(const char* fileName);

    /// The table behind the lists (read-only; for the window tests).
    const tonarel::TemperamentTable& Table() const { return table_; }

    void FormCreate(QObject* sender);
    void RadioButton1Click(QObject* sender);
    void RadioButton2Click(QObject* sender);
    void CheckBox1Click(QObject* sender);
    /// Discards every typed key except the digits and backspace (key = QChar()).
    void Edit1KeyPress(QObject* sender, QChar& key);
    void CheckBox2Click(QObject* sender);
    void BitBtn1Click(QObject* sender);
    void ListBox1Click(QObject* sender);
    void ListBox2Click(QObject* sender);

private:
    void CreateControls();
    void ConnectHandlers();
    tonarel::ReadingOptions OptionsNow() const;
    void ApplyLineChange(const tonarel::ListLineChange& change);
    void ShowDetails(tonarel::TemperamentDirection direction, int line);
    void ClearLists();

    tonarel::TemperamentTable table_;
};

/// The temperament manager, from start-up to exit.
extern TForm4* Form4;
