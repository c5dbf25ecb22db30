#pragma once
// The pitch meter window (its recording and analysis come separately).

#include <QCheckBox>

#include "shell/TonarelForm.h"

class TForm3 : public TonarelForm {
    Q_OBJECT

public:
    TForm3();

    QCheckBox* CheckBox3;  ///< "输入到音律管理器", unticked at start

    /// Places the window under the main window and the oscilloscope.
    void FormCreate(QObject* sender);
};

/// The pitch meter, from start-up to exit.
extern TForm3* Form3;
