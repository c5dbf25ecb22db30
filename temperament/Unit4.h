#pragma once
// The temperament manager window (its table and controls come separately).

#include <QCheckBox>

#include "shell/TonarelForm.h"

class TForm4 : public TonarelForm {
    Q_OBJECT

public:
    TForm4();

    QCheckBox* CheckBox2;  ///< "从音准仪输入", unticked at start

    /// Places the window right of the oscilloscope, under the main window.
    void FormCreate(QObject* sender);

    /// Takes one reading in hertz from the pitch meter into the table.
    void AddReading(float hz);
    /// Replaces the table by the temperament file `fileName` (local 8-bit).
    void LoadTemperamentFile(const char* fileName);
    /// Writes the table to the temperament file `fileName` (local 8-bit).
    void SaveTemperamentFile(const char* fileName);
};

/// The temperament manager, from start-up to exit.
extern TForm4* Form4;
