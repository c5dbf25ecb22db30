#include "temperament/Unit4.h"

#include <QFile>
#include <QPainter>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <filesystem>
#include <variant>

#include "forms/KeyPressFilter.h"
#include "forms/SystemColours.h"
#include "forms/UserLocale.h"
#include "forms/UserMessage.h"
#include "meter/Unit3.h"
#include "platform/HelpViewer.h"
#include "scope/Unit2.h"
#include "temperament/core/LineDetails.h"
#include "temperament/core/TemperamentFile.h"
#include "temperament/core/TemperamentReplay.h"

using namespace tonarel;

TForm4* Form4 = nullptr;

namespace {

using tonarel::TemperamentDirection;

// The design's outer size; the client area keeps at least room for "清空记录".
constexpr QSize kDesignOuterSize(310, 453);

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The file commands hand over names as the file system spells them, in narrow
// bytes; no name at all is an empty path, which no file has.
std::filesystem::path PathOf(const char* fileName)
{
    return fileName != nullptr ? std::filesystem::path(fileName) : std::filesystem::path();
}

// The small picture of "清空记录": a sheet with a red cross over it.
QIcon DrawClearRecordsPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(Qt::white);
    painter.drawRect(2, 1, 10, 13);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    for (int y = 4; y <= 10; y += 3) {
        painter.drawLine(4, y, 10, y);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xC0, 0x00, 0x00), 2));
    painter.drawLine(8, 8, 14, 14);
    painter.drawLine(14, 8, 8, 14);
    return QIcon(picture);
}

// Lists and memo write their text in the hot-light colour; disabled text
// keeps the style's grey.
void UseHotLightText(QWidget* control)
{
    QPalette palette = control->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, kHotLightTextColour);
    }
    control->setPalette(palette);
}

}  // namespace

TForm4::TForm4() : TonarelForm(3, CloseBox::None, kDesignOuterSize)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("音律管理器"));
    CreateControls();
    ConnectHandlers();
    FormCreate(this);
}

void TForm4::CreateControls()
{
    // Created in tab order.
    ListBox1 = new TemperamentListBox(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(16, 144, 133, 137);
    UseHotLightText(ListBox1);

    ListBox2 = new TemperamentListBox(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(160, 144, 129, 137);
    ListBox2->setEnabled(false);
    UseHotLightText(ListBox2);

    Edit1 = new QLineEdit(QStringLiteral("440"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(160, 94, 129, 21);
    Edit1->setReadOnly(true);
    Edit1->setEnabled(false);

    CheckBox1 = new QCheckBox(QStringLiteral("指定标准音"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(16, 94, 105, 17);
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip(
        QStringLiteral("固定音高的乐器适用，如各种键盘乐器，不指定时以输入的第一个音为标准"));

    RadioButton1 = new QRadioButton(QStringLiteral("高音"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(16, 120, 121, 17);
    RadioButton1->setChecked(true);
    RadioButton1->setToolTip(QStringLiteral("从标准音(序号为0)开始依次输入高音部分"));

    RadioButton2 = new QRadioButton(QStringLiteral("低音"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(160, 120, 129, 17);
    RadioButton2->setToolTip(QStringLiteral("从标准音(序号为0)开始依次输入低音部分"));

    CheckBox2 = new QCheckBox(QStringLiteral("从音准仪输入"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(16, 16, 105, 17);

    RadioGroup1 = new QGroupBox(QStringLiteral("输入方式"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(14, 40, 277, 41);
    RadioGroup1->setToolTip(QStringLiteral(
        "选择音律输入，一次输入一组连续的音律，然后选择音律调整，对其中不准确的进行调整"));
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    const QString items[] = {QStringLiteral("音律输入"), QStringLiteral("音律调整")};
    // Two columns side by side under the caption.
    const int columnWidth = (RadioGroup1->width() - 16) / 2;
    for (int index = 0; index < 2; ++index) {
        auto* item = new QRadioButton(items[index], RadioGroup1);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(index));
        item->setGeometry(8 + index * columnWidth, 18, columnWidth, 17);
        RadioGroup1Items->addButton(item, index);
    }
    RadioGroup1Items->button(0)->setChecked(true);
    RadioGroup1->setEnabled(false);

    BitBtn1 = new QPushButton(DrawClearRecordsPicture(), QStringLiteral("清空记录"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(18, 394, 89, 25);
    BitBtn1->setToolTip(QStringLiteral("清空记录前请注意保存"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(18, 312, 270, 74);
    Memo1->setTabChangesFocus(false);
    // A plain memo: no scroll bars; the five detail lines fit.
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPlainText(QString(7, QLatin1Char('\n')));  // eight empty lines
    UseHotLightText(Memo1);

    Label1 = new QLabel(QStringLiteral("详细情况：  "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(17, 293, 66, 13);

    // Under a title bar taller than the design's the client area would lose
    // the bottom of "清空记录"; the window grows just enough instead.
    setMinimumHeight(BitBtn1->geometry().bottom() + 1);
}

void TForm4::ConnectHandlers()
{
    // Connected after every control has its design state, so that none of
    // the handlers runs during construction. Check boxes answer toggled()
    // only: it comes for a user's click and for a change made from code alike.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            RadioButton1Click(RadioButton1);
        }
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            RadioButton2Click(RadioButton2);
        }
    });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(CheckBox1); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { RunGuarded([this] { CheckBox2Click(CheckBox2); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(BitBtn1); });
    for (TemperamentListBox* list : {ListBox1, ListBox2}) {
        const auto handler = list == ListBox1 ? &TForm4::ListBox1Click : &TForm4::ListBox2Click;
        const auto run = [this, list, handler] { RunGuarded([&] { (this->*handler)(list); }); };
        // A change by keyboard or mouse, and a further click on the selected
        // line (after that entry was measured again).
        connect(list, &QListWidget::itemSelectionChanged, this, run);
        connect(list, &QListWidget::clicked, this, run);
    }
    new KeyPressFilter(Edit1, [this](QChar& key) { Edit1KeyPress(Edit1, key); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [] {
        RunGuarded([] { ApplicationHelpViewer().OpenAtContext(kTemperamentManagerHelpContext); });
    });
}

void TForm4::FormCreate(QObject* /*sender*/)
{
    SetOuterPosition(Form2->OuterWidth(), MainForm()->OuterHeight());
}

int TForm4::RadioGroup1ItemIndex() const
{
    return RadioGroup1Items->checkedId();
}

tonarel::ReadingOptions TForm4::OptionsNow() const
{
    tonarel::ReadingOptions options;
    options.mode = RadioGroup1ItemIndex() == 1 ? tonarel::ReadingMode::Adjust : tonarel::ReadingMode::Input;
    options.direction = RadioButton1->isChecked() ? TemperamentDirection::Treble : TemperamentDirection::Bass;
    options.fixedBase = CheckBox1->isChecked();
    options.selectedTrebleLine = ListBox1->SelectedPosition();
    options.selectedBassLine = ListBox2->SelectedPosition();
    options.decimalSeparator = UserDecimalSeparator();
    return options;
}

void TForm4::AddReading(float hz)
{
    const tonarel::ReadingOutcome outcome = table_.AddReading(hz, OptionsNow());
    if (const auto* refused = std::get_if<tonarel::ReadingRefused>(&outcome)) {
        ShowUserMessage(UserMessageKind::Warning, FromUtf8(refused->reason));
        return;
    }
    ApplyLineChange(std::get<tonarel::ListLineChange>(outcome));
}

void TForm4::ApplyLineChange(const tonarel::ListLineChange& change)
{
    TemperamentListBox* list = change.list == TemperamentDirection::Treble ? ListBox1 : ListBox2;
    const QString text = FromUtf8(change.text);
    if (change.replacesLine) {
        // The item stays, and with it the selection.
        list->item(change.line)->setText(text);
    } else {
        list->addItem(text);
    }
}

void TForm4::LoadTemperamentFile(const char* fileName)
{
    const char* refusal = tonarel::kNotTemperamentFileMessage;
    const std::optional<tonarel::TemperamentFileContents> contents =
        tonarel::ReadTemperamentFile(PathOf(fileName), &refusal);
    if (!contents) {
        ShowUserMessage(UserMessageKind::Warning, QString::fromUtf8(refusal));
        return;
    }
    auto replayed = tonarel::ReplayTemperamentFile(table_, *contents, CheckBox1->isChecked(), UserDecimalSeparator());
    if (const auto* refused = std::get_if<tonarel::ReadingRefused>(&replayed)) {
        ShowUserMessage(UserMessageKind::Warning, FromUtf8(refused->reason));
        return;
    }
    // The table holds the file now; bring the window to match: cleared lists,
    // input mode, the bass lines with "低音" chosen, then the treble lines
    // with "高音" chosen.
    ClearLists();
    RadioGroup1Items->button(0)->setChecked(true);
    RadioButton2->setChecked(true);
    const auto& lines = std::get<tonarel::ReplayedLines>(replayed);
    for (const tonarel::ListLineChange& line : lines) {
        if (line.list == TemperamentDirection::Treble) {
            RadioButton1->setChecked(true);
        }
        ApplyLineChange(line);
    }
    RadioButton1->setChecked(true);
}

bool TForm4::SaveTemperamentFile(const char* fileName)
{
    const std::optional<tonarel::SaveFailure> failure =
        tonarel::WriteTemperamentFile(PathOf(fileName), tonarel::ContentsOf(table_));
    if (!failure) {
        return true;
    }
    ShowErrorBox(QStringLiteral("无法保存音律文件“%1”：%2。")
                     .arg(QFile::decodeName(fileName), FromUtf8(failure->reason)));
    return false;
}

void TForm4::RadioButton1Click(QObject* /*sender*/)
{
    ListBox1->setEnabled(true);
    ListBox2->setEnabled(false);
}

void TForm4::RadioButton2Click(QObject* /*sender*/)
{
    ListBox1->setEnabled(false);
    ListBox2->setEnabled(true);
}

void TForm4::CheckBox1Click(QObject* /*sender*/)
{
    Edit1->setEnabled(CheckBox1->isChecked());
}

void TForm4::Edit1KeyPress(QObject* /*sender*/, QChar& key)
{
    DiscardAllButDigitsAndBackspace(key);
}

void TForm4::CheckBox2Click(QObject* /*sender*/)
{
    RadioGroup1->setEnabled(CheckBox2->isChecked());
    // The pitch meter's box sets this one back only when it changes, so the
    // pair settles after one exchange.
    if (Form3 != nullptr) {
        Form3->CheckBox3->setChecked(CheckBox2->isChecked());
    }
}

void TForm4::BitBtn1Click(QObject* /*sender*/)
{
    ClearLists();
    table_.Clear();
}

void TForm4::ClearLists()
{
    // Changes made here are not the musician's choice of a line.
    const QSignalBlocker blockTreble(ListBox1);
    const QSignalBlocker blockBass(ListBox2);
    ListBox1->clear();
    ListBox1->clearSelection();
    ListBox2->clear();
}

void TForm4::ListBox1Click(QObject* /*sender*/)
{
    ShowDetails(TemperamentDirection::Treble, ListBox1->SelectedPosition());
}

void TForm4::ListBox2Click(QObject* /*sender*/)
{
    ShowDetails(TemperamentDirection::Bass, ListBox2->SelectedPosition());
}

void TForm4::ShowDetails(TemperamentDirection direction, int line)
{
    if (line < 0 || line >= table_.EntryCount(direction)) {
        return;
    }
    const auto texts = tonarel::DetailMemoLines(tonarel::DetailsOfLine(table_, direction, line), UserDecimalSeparator());
    QTextDocument* document = Memo1->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // The musician may have deleted memo lines; only lines that exist are written.
    for (int index = 0; index < static_cast<int>(texts.size()) && index < document->blockCount(); ++index) {
        const QTextBlock block = document->findBlockByNumber(index);
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(FromUtf8(texts[static_cast<std::size_t>(index)]));
    }
    cursor.endEditBlock();
}
