#include "temperament/TemperamentManagerWindow.h"

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
#include "platform/HelpViewer.h"
#include "temperament/core/LineDetails.h"
#include "temperament/core/TemperamentFile.h"
#include "temperament/core/TemperamentReplay.h"

namespace tonarel {

namespace {


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

TemperamentManagerWindow::TemperamentManagerWindow() : TonarelForm(3, CloseBox::None, kDesignOuterSize)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("音律管理器"));
    CreateControls();
    ConnectHandlers();
}

void TemperamentManagerWindow::CreateControls()
{
    // Created in tab order.
    trebleList = new TemperamentListBox(this);
    trebleList->setObjectName(QStringLiteral("ListBox1"));
    trebleList->setGeometry(16, 144, 133, 137);
    UseHotLightText(trebleList);

    bassList = new TemperamentListBox(this);
    bassList->setObjectName(QStringLiteral("ListBox2"));
    bassList->setGeometry(160, 144, 129, 137);
    bassList->setEnabled(false);
    UseHotLightText(bassList);

    referencePitchField = new QLineEdit(QStringLiteral("440"), this);
    referencePitchField->setObjectName(QStringLiteral("Edit1"));
    referencePitchField->setGeometry(160, 94, 129, 21);
    referencePitchField->setReadOnly(true);
    referencePitchField->setEnabled(false);

    fixedReferenceBox = new QCheckBox(QStringLiteral("指定标准音"), this);
    fixedReferenceBox->setObjectName(QStringLiteral("CheckBox1"));
    fixedReferenceBox->setGeometry(16, 94, 105, 17);
    fixedReferenceBox->setChecked(true);
    fixedReferenceBox->setToolTip(
        QStringLiteral("固定音高的乐器适用，如各种键盘乐器，不指定时以输入的第一个音为标准"));

    trebleButton = new QRadioButton(QStringLiteral("高音"), this);
    trebleButton->setObjectName(QStringLiteral("RadioButton1"));
    trebleButton->setGeometry(16, 120, 121, 17);
    trebleButton->setChecked(true);
    trebleButton->setToolTip(QStringLiteral("从标准音(序号为0)开始依次输入高音部分"));

    bassButton = new QRadioButton(QStringLiteral("低音"), this);
    bassButton->setObjectName(QStringLiteral("RadioButton2"));
    bassButton->setGeometry(160, 120, 129, 17);
    bassButton->setToolTip(QStringLiteral("从标准音(序号为0)开始依次输入低音部分"));

    inputFromMeterBox = new QCheckBox(QStringLiteral("从音准仪输入"), this);
    inputFromMeterBox->setObjectName(QStringLiteral("CheckBox2"));
    inputFromMeterBox->setGeometry(16, 16, 105, 17);

    inputModeGroup = new QGroupBox(QStringLiteral("输入方式"), this);
    inputModeGroup->setObjectName(QStringLiteral("RadioGroup1"));
    inputModeGroup->setGeometry(14, 40, 277, 41);
    inputModeGroup->setToolTip(QStringLiteral(
        "选择音律输入，一次输入一组连续的音律，然后选择音律调整，对其中不准确的进行调整"));
    inputModeItems = new QButtonGroup(inputModeGroup);
    const QString items[] = {QStringLiteral("音律输入"), QStringLiteral("音律调整")};
    // Two columns side by side under the caption.
    const int columnWidth = (inputModeGroup->width() - 16) / 2;
    for (int index = 0; index < 2; ++index) {
        auto* item = new QRadioButton(items[index], inputModeGroup);
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(index));
        item->setGeometry(8 + index * columnWidth, 18, columnWidth, 17);
        inputModeItems->addButton(item, index);
    }
    inputModeItems->button(0)->setChecked(true);
    inputModeGroup->setEnabled(false);

    clearButton = new QPushButton(DrawClearRecordsPicture(), QStringLiteral("清空记录"), this);
    clearButton->setObjectName(QStringLiteral("BitBtn1"));
    clearButton->setGeometry(18, 394, 89, 25);
    clearButton->setToolTip(QStringLiteral("清空记录前请注意保存"));

    detailsMemo = new QPlainTextEdit(this);
    detailsMemo->setObjectName(QStringLiteral("Memo1"));
    detailsMemo->setGeometry(18, 312, 270, 74);
    detailsMemo->setTabChangesFocus(false);
    // A plain memo: no scroll bars; the five detail lines fit.
    detailsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    detailsMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    detailsMemo->setPlainText(QString(7, QLatin1Char('\n')));  // eight empty lines
    UseHotLightText(detailsMemo);

    detailsCaption = new QLabel(QStringLiteral("详细情况：  "), this);
    detailsCaption->setObjectName(QStringLiteral("Label1"));
    detailsCaption->setGeometry(17, 293, 66, 13);

    // Under a title bar taller than the design's the client area would lose
    // the bottom of "清空记录"; the window grows just enough instead.
    setMinimumHeight(clearButton->geometry().bottom() + 1);
}

void TemperamentManagerWindow::ConnectHandlers()
{
    // Connected after every control has its design state, so that none of
    // the handlers runs during construction. Check boxes answer toggled()
    // only: it comes for a user's click and for a change made from code alike.
    connect(trebleButton, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            TrebleButtonClick(trebleButton);
        }
    });
    connect(bassButton, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            BassButtonClick(bassButton);
        }
    });
    connect(fixedReferenceBox, &QCheckBox::toggled, this, [this] { FixedReferenceBoxClick(fixedReferenceBox); });
    connect(inputFromMeterBox, &QCheckBox::toggled, this, [this] { RunGuarded([this] { InputFromMeterBoxClick(inputFromMeterBox); }); });
    connect(clearButton, &QPushButton::clicked, this, [this] { ClearButtonClick(clearButton); });
    for (TemperamentListBox* list : {trebleList, bassList}) {
        const auto handler = list == trebleList ? &TemperamentManagerWindow::TrebleListClick : &TemperamentManagerWindow::BassListClick;
        const auto run = [this, list, handler] { RunGuarded([&] { (this->*handler)(list); }); };
        // A change by keyboard or mouse, and a further click on the selected
        // line (after that entry was measured again).
        connect(list, &QListWidget::itemSelectionChanged, this, run);
        connect(list, &QListWidget::clicked, this, run);
    }
    new KeyPressFilter(referencePitchField, [this](QChar& key) { ReferencePitchFieldKeyPress(referencePitchField, key); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this, nullptr, nullptr, Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [] {
        RunGuarded([] { ApplicationHelpViewer().OpenAtContext(kTemperamentManagerHelpContext); });
    });
}

int TemperamentManagerWindow::InputModeIndex() const
{
    return inputModeItems->checkedId();
}

ReadingOptions TemperamentManagerWindow::OptionsNow() const
{
    ReadingOptions options;
    options.mode = InputModeIndex() == 1 ? ReadingMode::Adjust : ReadingMode::Input;
    options.direction = trebleButton->isChecked() ? TemperamentDirection::Treble : TemperamentDirection::Bass;
    options.fixedBase = fixedReferenceBox->isChecked();
    options.selectedTrebleLine = trebleList->SelectedPosition();
    options.selectedBassLine = bassList->SelectedPosition();
    options.decimalSeparator = UserDecimalSeparator();
    return options;
}

void TemperamentManagerWindow::AddReading(float hz)
{
    const ReadingOutcome outcome = table_.AddReading(hz, OptionsNow());
    if (const auto* refused = std::get_if<ReadingRefused>(&outcome)) {
        ShowUserMessage(UserMessageKind::Warning, FromUtf8(refused->reason));
        return;
    }
    ApplyLineChange(std::get<ListLineChange>(outcome));
    emit tableChanged();
}

void TemperamentManagerWindow::ApplyLineChange(const ListLineChange& change)
{
    TemperamentListBox* list = change.list == TemperamentDirection::Treble ? trebleList : bassList;
    const QString text = FromUtf8(change.text);
    if (change.replacesLine) {
        // The item stays, and with it the selection.
        list->item(change.line)->setText(text);
    } else {
        list->addItem(text);
    }
}

bool TemperamentManagerWindow::LoadTemperamentFile(const char* fileName)
{
    const char* refusal = kNotTemperamentFileMessage;
    const std::optional<TemperamentFileContents> contents =
        ReadTemperamentFile(PathOf(fileName), &refusal);
    if (!contents) {
        ShowUserMessage(UserMessageKind::Warning, QString::fromUtf8(refusal));
        return false;
    }
    auto replayed = ReplayTemperamentFile(table_, *contents, fixedReferenceBox->isChecked(), UserDecimalSeparator());
    if (const auto* refused = std::get_if<ReadingRefused>(&replayed)) {
        ShowUserMessage(UserMessageKind::Warning, FromUtf8(refused->reason));
        return false;
    }
    // The table holds the file now; bring the window to match: cleared lists,
    // input mode, the bass lines with "低音" chosen, then the treble lines
    // with "高音" chosen.
    ClearLists();
    inputModeItems->button(0)->setChecked(true);
    bassButton->setChecked(true);
    const auto& lines = std::get<ReplayedLines>(replayed);
    for (const ListLineChange& line : lines) {
        if (line.list == TemperamentDirection::Treble) {
            trebleButton->setChecked(true);
        }
        ApplyLineChange(line);
    }
    trebleButton->setChecked(true);
    return true;
}

bool TemperamentManagerWindow::SaveTemperamentFile(const char* fileName)
{
    const std::optional<SaveFailure> failure =
        WriteTemperamentFile(PathOf(fileName), ContentsOf(table_));
    if (!failure) {
        return true;
    }
    ShowErrorBox(QStringLiteral("无法保存音律文件“%1”：%2。")
                     .arg(QFile::decodeName(fileName), FromUtf8(failure->reason)));
    return false;
}

void TemperamentManagerWindow::TrebleButtonClick(QObject* /*sender*/)
{
    trebleList->setEnabled(true);
    bassList->setEnabled(false);
}

void TemperamentManagerWindow::BassButtonClick(QObject* /*sender*/)
{
    trebleList->setEnabled(false);
    bassList->setEnabled(true);
}

void TemperamentManagerWindow::FixedReferenceBoxClick(QObject* /*sender*/)
{
    referencePitchField->setEnabled(fixedReferenceBox->isChecked());
}

void TemperamentManagerWindow::ReferencePitchFieldKeyPress(QObject* /*sender*/, QChar& key)
{
    DiscardAllButDigitsAndBackspace(key);
}

void TemperamentManagerWindow::InputFromMeterBoxClick(QObject* /*sender*/)
{
    inputModeGroup->setEnabled(inputFromMeterBox->isChecked());
    emit inputFromMeterToggled(inputFromMeterBox->isChecked());
}

void TemperamentManagerWindow::ClearButtonClick(QObject* /*sender*/)
{
    emit clearRequested();
}

void TemperamentManagerWindow::ClearRecords()
{
    const bool hadEntries = trebleList->count() + bassList->count() > 0;
    ClearLists();
    table_.Clear();
    if (hadEntries) {
        emit tableChanged();
    }
}

void TemperamentManagerWindow::ClearLists()
{
    // Changes made here are not the musician's choice of a line.
    const QSignalBlocker blockTreble(trebleList);
    const QSignalBlocker blockBass(bassList);
    trebleList->clear();
    trebleList->clearSelection();
    bassList->clear();
}

void TemperamentManagerWindow::TrebleListClick(QObject* /*sender*/)
{
    ShowDetails(TemperamentDirection::Treble, trebleList->SelectedPosition());
}

void TemperamentManagerWindow::BassListClick(QObject* /*sender*/)
{
    ShowDetails(TemperamentDirection::Bass, bassList->SelectedPosition());
}

void TemperamentManagerWindow::ShowDetails(TemperamentDirection direction, int line)
{
    if (line < 0 || line >= table_.EntryCount(direction)) {
        return;
    }
    const auto texts = DetailMemoLines(DetailsOfLine(table_, direction, line), UserDecimalSeparator());
    QTextDocument* document = detailsMemo->document();
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

void TemperamentManagerWindow::SetInputFromMeter(bool input)
{
    inputFromMeterBox->setChecked(input);
}

}  // namespace tonarel
