// Numbers in the user's locale. The process runs under a locale generated for
// it (LocaleTestMain), whose decimal separator is a comma or the Arabic "٫"
// (two bytes of UTF-8). The C library's LC_NUMERIC, which the application
// object sets from the environment, must change no digit; the separator shown
// is the user's, whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLocale>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <map>
#include <string>

#include "common/NumberFormat.h"
#include "forms/UserLocale.h"
#include "meter/PitchMeterWindow.h"
#include "shell/ApplicationWindows.h"
#include "temperament/TemperamentManagerWindow.h"
#include "tests/support/WidgetTexts.h"
#include "tests/support/WindowSetTest.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel;
using ::testing::ElementsAre;

// The decimal separator of each locale the tests run under.
std::string Separator()
{
    static const std::map<std::string, std::string> separators = {
        {"de_DE.UTF-8", ","}, {"fr_FR.UTF-8", ","}, {"ps_AF.UTF-8", "\u066B"}};
    return separators.at(std::getenv("TONAREL_TEST_LOCALE"));
}

// `pattern` with every "@" replaced by the locale's separator.
std::string InLocale(std::string pattern)
{
    for (std::size_t at = pattern.find('@'); at != std::string::npos; at = pattern.find('@', at)) {
        pattern.replace(at, 1, Separator());
        at += Separator().size();
    }
    return pattern;
}

// Unless both the C library and Qt run under the locale, nothing below tests it.
TEST(LocaleUnderTest, IsTheProcesssOwnForTheCLibraryAndForQt)
{
    EXPECT_EQ(std::string(std::localeconv()->decimal_point), Separator());
    EXPECT_EQ(QLocale().decimalPoint().toStdString(), Separator());
    EXPECT_EQ(UserDecimalSeparator().Text(), Separator());
}

struct FormatCase {
    long double value;
    bool twoDecimals;
    const char* pattern;
};

class NumberFormatsInTheLocale : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatsInTheLocale, KeepTheirDigitsAndTakeTheUsersSeparator)
{
    const FormatCase& c = GetParam();
    const std::string text = c.twoDecimals ? FormatTwoDecimals(c.value, UserDecimalSeparator())
                                           : FormatGeneral(c.value, UserDecimalSeparator());
    EXPECT_EQ(text, InLocale(c.pattern));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberFormatsInTheLocale,
    ::testing::Values(FormatCase{261.6f, false, "261@600006103516"}, FormatCase{440.0L, false, "440"},
                      FormatCase{0.000015L, false, "1@5E-5"},
                      FormatCase{-6.93581250743591e-6L, false, "-6@93581250743591E-6"},
                      FormatCase{1234567890123456.0L, false, "1@23456789012346E15"},
                      FormatCase{-0.4213f, true, "-0@42"}, FormatCase{1234.5L, true, "1234@50"},
                      FormatCase{-0.0078125L, true, "-0@01"}, FormatCase{9.99609375L, true, "10@00"},
                      FormatCase{-0.004L, true, "0@00"}));

using LocaleWindows = WindowSetTest;

TEST_F(LocaleWindows, PitchMeterLabelsShowTheUsersSeparator)
{
    tones::WriteCaptureFile("my.wav", tones::ToneBetweenSilences());
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(Windows().pitchMeter->frequencyValue->text().toStdString(), InLocale("7@98714065551758"));
    Windows().pitchMeter->autoSegmentBox->setChecked(false);
    Windows().pitchMeter->segmentSpinner->SetPosition(50);  // 500 ms
    Windows().pitchMeter->SegmentSpinnerClick(Windows().pitchMeter->segmentSpinner);
    Windows().pitchMeter->RefreshButtonClick(Windows().pitchMeter->refreshButton);
    EXPECT_EQ(Windows().pitchMeter->frequencyValue->text().toStdString(), "438");
    EXPECT_EQ(Windows().pitchMeter->deviationValue->text().toStdString(), InLocale("-0@454545468091965"));
}

TEST_F(LocaleWindows, ManagerLinesAndDetailMemoShowTheUsersSeparator)
{
    Windows().temperamentManager->trebleButton->setChecked(true);
    Windows().temperamentManager->AddReading(440.0f);
    Windows().temperamentManager->AddReading(464.2f);
    Windows().temperamentManager->bassButton->setChecked(true);
    Windows().temperamentManager->AddReading(440.3f);
    Windows().temperamentManager->AddReading(415.1f);
    EXPECT_THAT(test::ListLines(Windows().temperamentManager->trebleList),
                ElementsAre(InLocale("0.音高正确！0@00音分"), InLocale("1.音高偏低！-0@42音分")));
    EXPECT_THAT(test::ListLines(Windows().temperamentManager->bassList),
                ElementsAre(InLocale("0.音高正确！0@07音分"), InLocale("-1.音高正确！-0@05音分")));

    QListWidget* bass = Windows().temperamentManager->bassList;
    QTest::mouseClick(bass->viewport(), Qt::LeftButton, {}, bass->visualItemRect(bass->item(1)).center());
    EXPECT_THAT(test::MemoLines(Windows().temperamentManager->detailsMemo),
                ElementsAre("半音序号:-1", InLocale("当前频率：415@100006103516"), InLocale("标准频率：415@3046875"),
                            InLocale("偏差：-0@000492846343046333"), InLocale("音程：1@06070821806533"), "", "", ""));
    Windows().temperamentManager->trebleButton->setChecked(true);
    QListWidget* treble = Windows().temperamentManager->trebleList;
    QTest::mouseClick(treble->viewport(), Qt::LeftButton, {}, treble->visualItemRect(treble->item(1)).center());
    EXPECT_THAT(test::MemoLines(Windows().temperamentManager->detailsMemo),
                ElementsAre("半音序号:1", InLocale("当前频率：464@200012207031"), InLocale("标准频率：466@163757324219"),
                            InLocale("偏差：-0@00421256497600629"), InLocale("音程：1@05500002774325"), "", "", ""));
}

}  // namespace
