#pragma once
// The one owner of the piano being tuned: its readings, the inharmonicity
// fitted to them, the target curve, the file it came from or was last saved
// to, and whether it has changed since. The piano tuning window shows it and
// supplies the dialogs; everything that reads or writes the piano file goes
// through here.
//
// The curve follows the readings: every reading added or key cleared refits
// (piano/InharmonicityFit.h) and recomputes the curve (piano/StretchCurve.h).
// With fewer than kLeastFittedKeys keys it is the average grand's, marked as
// not measured. A file opened keeps the curve it was saved with until a
// reading changes it, so that a piano tuned to that curve finds the same
// targets again.
//
// Example: a new document has no readings, the average grand's curve, no
// file and no unsaved changes; AddReading(49, {440.2, 4e-4, 12, now}) makes
// it modified and emits Changed().

#include <QObject>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "piano/InharmonicityFit.h"
#include "piano/PianoFile.h"

namespace tonarel::pianotuning {

class PianoDocument : public QObject {
    Q_OBJECT

public:
    explicit PianoDocument(QObject* parent = nullptr);

    /// The reference pitch (A4 in hertz), the readings and the target curve.
    const piano::PianoFileContents& Contents() const { return contents_; }
    const piano::PianoMeasurements& Measurements() const { return contents_.measurements; }
    const piano::StretchCurve& Curve() const { return contents_.curve; }
    double ReferenceHz() const { return contents_.referenceHz; }
    /// The inharmonicity fitted to the readings (or the average grand's).
    const piano::InharmonicityCurve& Fit() const { return fit_; }
    /// What the user should know before trusting the curve, one Chinese
    /// sentence each; empty when the fit covers the keyboard.
    std::vector<std::string> Notices() const { return piano::FitNotices(fit_); }

    /// The file the document was opened from or last saved to; empty for a
    /// piano never saved.
    const std::filesystem::path& FilePath() const { return filePath_; }
    /// True when readings or the reference changed since the last open or save.
    bool IsModified() const { return modified_; }

    /// Adds a reading of `key` (1 to 88) and refits. False, and nothing
    /// changes, for a key outside 1 to 88 or a reading out of its ranges
    /// (piano::IsValidReading).
    bool AddReading(int key, const piano::KeyReading& reading);
    /// Forgets the readings of `key` and refits; nothing for a key not measured.
    void ClearKey(int key);
    /// Takes `hz` (piano::kLowestReferenceHz to kHighestReferenceHz) as the
    /// pitch of A4 that target hertz and measured cents count from. False,
    /// and nothing changes, for a pitch outside that range. Counts as a
    /// change to save only while the document holds readings.
    bool SetReferenceHz(double hz);

    /// Reads the piano file `path` and, when it is one, replaces the whole
    /// document by it (no unsaved changes). Otherwise returns the Chinese
    /// message to show, and nothing changes.
    std::optional<QString> Open(const std::filesystem::path& path);
    /// Writes the document to `path`, which becomes its file (no unsaved
    /// changes). On failure returns the Chinese message to show, and the
    /// document keeps its file and state.
    std::optional<QString> Save(const std::filesystem::path& path);
    /// Writes the curve and readings to `path` as CSV (piano/PianoCsv.h); the
    /// document itself does not change. On failure the Chinese message.
    std::optional<QString> ExportCsv(const std::filesystem::path& path) const;

signals:
    /// Readings, curve, reference, file or modified state changed.
    void Changed();

private:
    /// Refits the readings and recomputes the curve.
    void Refit();

    piano::PianoFileContents contents_;
    piano::InharmonicityCurve fit_;
    std::filesystem::path filePath_;
    bool modified_ = false;
};

}  // namespace tonarel::pianotuning
