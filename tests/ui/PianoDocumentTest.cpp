// The owner of the piano file: what counts as a change to save, the curve an
// opened file keeps, and saves that fail.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "piano/AverageGrand.h"
#include "piano/InharmonicityFit.h"
#include "piano/PianoFile.h"
#include "piano/StretchCurve.h"
#include "pianotuning/PianoDocument.h"

using namespace tonarel;
using tonarel::pianotuning::PianoDocument;

namespace {

constexpr int kSpreadKeys[] = {4, 11, 20, 28, 37, 45, 49, 56, 63, 70, 77, 84};

piano::KeyReading ReadingOf(int key, double bFactor = 1.0)
{
    return {piano::AverageGrandStretchCurve().TargetHz(key, 440.0), piano::AverageGrandInharmonicity(key) * bFactor,
            12, 1'800'000'000};
}

TEST(PianoDocument, OnlyAReferenceInRangeIsTakenAndCountsAsAChangeOnlyWithReadings)
{
    struct Row {
        bool withReading;
        double hz;
        bool taken;
        bool modified;
    };
    const Row rows[] = {
        {false, 442.0, true, false},
        {true, 442.0, true, true},
        {true, 440.0, true, false},  // unchanged
        {true, 399.9, false, false},
        {true, 480.1, false, false},
        {true, std::numeric_limits<double>::quiet_NaN(), false, false},
    };
    for (const Row& row : rows) {
        QTemporaryDir directory;
        PianoDocument document;
        if (row.withReading) {
            ASSERT_TRUE(document.AddReading(49, ReadingOf(49)));
            ASSERT_FALSE(document.Save(directory.filePath("p.piano.json").toStdString()));
        }
        QSignalSpy changed(&document, &PianoDocument::Changed);
        EXPECT_EQ(document.SetReferenceHz(row.hz), row.taken) << row.hz;
        EXPECT_EQ(document.ReferenceHz(), row.taken ? row.hz : 440.0) << row.hz;
        EXPECT_EQ(document.IsModified(), row.modified) << row.hz;
        EXPECT_EQ(changed.count(), row.taken && row.hz != 440.0 ? 1 : 0) << row.hz;
    }
}

TEST(PianoDocument, AnOpenedFileKeepsItsSavedCurveUntilAReadingChangesIt)
{
    QTemporaryDir directory;
    const std::string path = directory.filePath("saved.piano.json").toStdString();
    // A file whose curve was computed before the last readings were fitted:
    // readings of a piano with twice the average B, the average curve.
    piano::PianoFileContents saved;
    for (int key : kSpreadKeys) {
        ASSERT_TRUE(saved.measurements.Add(key, ReadingOf(key, 2.0)));
    }
    saved.curve = piano::AverageGrandStretchCurve();
    ASSERT_FALSE(piano::WritePianoFile(path, saved));

    PianoDocument document;
    ASSERT_FALSE(document.Open(path));
    EXPECT_EQ(document.Curve().targetCents, saved.curve.targetCents);
    EXPECT_EQ(document.Fit().source, piano::InharmonicitySource::kMeasured);
    EXPECT_FALSE(document.IsModified());

    ASSERT_TRUE(document.AddReading(88, ReadingOf(88, 2.0)));
    const piano::StretchCurve refitted =
        piano::ComputeStretchCurve(piano::FitInharmonicity(document.Measurements()));
    EXPECT_EQ(document.Curve().targetCents, refitted.targetCents);
    EXPECT_NE(document.Curve().targetCents, saved.curve.targetCents);
}

TEST(PianoDocument, AFailedSaveKeepsTheFileAndTheUnsavedChanges)
{
    QTemporaryDir directory;
    PianoDocument document;
    ASSERT_TRUE(document.AddReading(49, ReadingOf(49)));
    const std::string good = directory.filePath("good.piano.json").toStdString();
    ASSERT_FALSE(document.Save(good));
    ASSERT_TRUE(document.AddReading(50, ReadingOf(50)));

    const std::optional<QString> failure =
        document.Save(directory.filePath("no such folder/p.piano.json").toStdString());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->startsWith(QStringLiteral("无法保存钢琴文件"))) << failure->toStdString();
    EXPECT_EQ(document.FilePath(), good);
    EXPECT_TRUE(document.IsModified());
    EXPECT_TRUE(document.ExportCsv(directory.filePath("no such folder/p.csv").toStdString()));
}

TEST(PianoDocument, ReadingsOutOfRangeAndClearingAnUnmeasuredKeyChangeNothing)
{
    PianoDocument document;
    QSignalSpy changed(&document, &PianoDocument::Changed);
    EXPECT_FALSE(document.AddReading(0, ReadingOf(1)));
    EXPECT_FALSE(document.AddReading(89, ReadingOf(88)));
    EXPECT_FALSE(document.AddReading(49, {-440.0, 4e-4, 12, 0}));
    document.ClearKey(49);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(document.IsModified());

    ASSERT_TRUE(document.AddReading(49, ReadingOf(49)));
    document.ClearKey(49);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(document.Measurements().MeasuredKeyCount(), 0);
}

}  // namespace
