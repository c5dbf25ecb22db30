#include "meter/Unit3.h"

#include "scope/Unit2.h"
#include "shell/Unit1.h"

TForm3* Form3 = nullptr;

TForm3::TForm3() : TonarelForm(2, CloseBox::None, QSize(500, 278))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("音准仪"));

    CheckBox3 = new QCheckBox(QStringLiteral("输入到音律管理器") + QString(24, QLatin1Char(' ')), this);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->move(16, 220);
    CheckBox3->adjustSize();

    FormCreate(this);
}

void TForm3::FormCreate(QObject* /*sender*/)
{
    SetOuterPosition(0, Form1->OuterHeight() + Form2->OuterHeight());
}
