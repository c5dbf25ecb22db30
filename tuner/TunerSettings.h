#pragma once
// The tuner's settings that last from one run to the next, in the user's
// configuration folder: $XDG_CONFIG_HOME/Tonarel/Tonarel.conf (~/.config when
// XDG_CONFIG_HOME is not set), group "Tuner", in INI format.
//
// Every value read is checked: a missing, unreadable or damaged file, or a
// value out of its range or of the wrong kind, reads as the default, so a
// bad file never stops the program. Every change is written at once; a file
// that cannot be written leaves the values of this run as they were set and
// says nothing (the settings are a convenience, not the user's work).

#include <QByteArray>
#include <QString>
#include <memory>

class QSettings;

namespace tonarel::tuner {

inline constexpr double kDefaultToleranceCents = 1.0;
inline constexpr double kLowestToleranceCents = 0.1;
inline constexpr double kHighestToleranceCents = 25.0;
/// A sound card's clock is off by 0.7 % at most; beyond 2 % the measurement
/// itself went wrong (a wrong note played, another note heard).
inline constexpr double kCalibrationLimitPpm = 20000.0;
/// The temperament setting that names the loaded Scala scale.
inline constexpr const char* kScalaTemperament = "scala";

class TunerSettings {
public:
    /// The user's file, as described above.
    static QString UserFile();

    /// Settings kept in `file` (created with its folder at the first change).
    explicit TunerSettings(const QString& file = UserFile());
    ~TunerSettings();
    TunerSettings(const TunerSettings&) = delete;
    TunerSettings& operator=(const TunerSettings&) = delete;

    /// A4 in hertz, 400.00 to 480.00; default 440.00.
    double ReferenceHz() const;
    void SetReferenceHz(double hz);

    /// A built-in temperament's command name ("equal", "werckmeister3", ...)
    /// or kScalaTemperament; default "equal". Unknown names read as "equal".
    QString Temperament() const;
    void SetTemperament(const QString& name);

    /// 0 (C) to 11 (B); default 0.
    int TonicPitchClass() const;
    void SetTonicPitchClass(int pitchClass);

    /// The Scala file last loaded; empty when none.
    QString ScalaFile() const;
    void SetScalaFile(const QString& path);

    /// 0.1 to 25.0 cents; default 1.0.
    double ToleranceCents() const;
    void SetToleranceCents(double cents);

    /// The sound card's correction in parts per million, within
    /// ±kCalibrationLimitPpm; default 0 (none).
    double CalibrationPpm() const;
    void SetCalibrationPpm(double ppm);

    /// Whether the tuner window was open when the program last ended;
    /// default false.
    bool WindowOpen() const;
    void SetWindowOpen(bool open);

    /// The window's placement as QWidget::saveGeometry wrote it; empty when none.
    QByteArray WindowGeometry() const;
    void SetWindowGeometry(const QByteArray& geometry);

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tonarel::tuner
