#include "temperament/Unit4.h"

#include "scope/Unit2.h"
#include "shell/Unit1.h"

TForm4* Form4 = nullptr;

TForm4::TForm4() : TonarelForm(3, CloseBox::None, QSize(310, 453))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("音律管理器"));

    CheckBox2 = new QCheckBox(QStringLiteral("从音准仪输入"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(16, 16, 105, 17);

    FormCreate(this);
}

void TForm4::FormCreate(QObject* /*sender*/)
{
    SetOuterPosition(Form2->OuterWidth(), Form1->OuterHeight());
}

void TForm4::AddReading(float /*hz*/) {}

void TForm4::LoadTemperamentFile(const char* /*fileName*/) {}

void TForm4::SaveTemperamentFile(const char* /*fileName*/) {}
