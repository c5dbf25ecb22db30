#include "tuner/TunerSettings.h"

#include <QVariant>
#include <QSettings>
#include <QStandardPaths>
#include <cmath>
#include <optional>

#include "tuner/core/Temperaments.h"
#include "tuner/core/TuningSystem.h"

namespace tonarel::tuner {

namespace {

const QString kReferenceKey = QStringLiteral("Tuner/referencePitch");
const QString kTemperamentKey = QStringLiteral("Tuner/temperament");
const QString kTonicKey = QStringLiteral("Tuner/tonic");
const QString kScalaFileKey = QStringLiteral("Tuner/scalaFile");
const QString kToleranceKey = QStringLiteral("Tuner/tolerance");
const QString kCalibrationKey = QStringLiteral("Tuner/calibrationPpm");
const QString kWindowOpenKey = QStringLiteral("Tuner/windowOpen");
const QString kWindowGeometryKey = QStringLiteral("Tuner/windowGeometry");

/// The stored number, or nothing when it is missing, not a number or not finite.
std::optional<double> NumberAt(const QSettings& settings, const QString& key)
{
    bool ok = false;
    const double value = settings.value(key).toString().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

QString TunerSettings::UserFile()
{
    // GenericConfigLocation follows XDG_CONFIG_HOME. The QSettings paths of
    // this process are moved away for Qt's file dialogs, so the file is
    // always named in full.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tonarel/Tonarel.conf");
}

TunerSettings::TunerSettings(const QString& file)
    : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat))
{
}

TunerSettings::~TunerSettings() = default;

double TunerSettings::ReferenceHz() const
{
    const std::optional<double> stored = NumberAt(*settings_, kReferenceKey);
    const std::optional<double> hz = stored ? tuning::ReferencePitchFromUser(*stored) : std::nullopt;
    return hz.value_or(tuning::kDefaultReferenceHz);
}

void TunerSettings::SetReferenceHz(double hz)
{
    settings_->setValue(kReferenceKey, QString::number(hz, 'f', 2));
    settings_->sync();
}

QString TunerSettings::Temperament() const
{
    const QString name = settings_->value(kTemperamentKey).toString();
    if (name == QLatin1String(kScalaTemperament) || tuning::FindTemperament(name.toStdString()) != nullptr) {
        return name;
    }
    return QStringLiteral("equal");
}

void TunerSettings::SetTemperament(const QString& name)
{
    settings_->setValue(kTemperamentKey, name);
    settings_->sync();
}

int TunerSettings::TonicPitchClass() const
{
    bool ok = false;
    const int tonic = settings_->value(kTonicKey).toString().toInt(&ok);
    return ok && tonic >= 0 && tonic < 12 ? tonic : 0;
}

void TunerSettings::SetTonicPitchClass(int pitchClass)
{
    settings_->setValue(kTonicKey, pitchClass);
    settings_->sync();
}

QString TunerSettings::ScalaFile() const
{
    return settings_->value(kScalaFileKey).toString();
}

void TunerSettings::SetScalaFile(const QString& path)
{
    settings_->setValue(kScalaFileKey, path);
    settings_->sync();
}

double TunerSettings::ToleranceCents() const
{
    const std::optional<double> cents = NumberAt(*settings_, kToleranceKey);
    return cents && *cents >= kLowestToleranceCents && *cents <= kHighestToleranceCents ? *cents
                                                                                         : kDefaultToleranceCents;
}

void TunerSettings::SetToleranceCents(double cents)
{
    settings_->setValue(kToleranceKey, QString::number(cents, 'f', 1));
    settings_->sync();
}

double TunerSettings::CalibrationPpm() const
{
    const std::optional<double> ppm = NumberAt(*settings_, kCalibrationKey);
    return ppm && std::abs(*ppm) <= kCalibrationLimitPpm ? *ppm : 0.0;
}

void TunerSettings::SetCalibrationPpm(double ppm)
{
    settings_->setValue(kCalibrationKey, QString::number(ppm, 'f', 1));
    settings_->sync();
}

bool TunerSettings::WindowOpen() const
{
    return settings_->value(kWindowOpenKey).toString() == QLatin1String("true");
}

void TunerSettings::SetWindowOpen(bool open)
{
    settings_->setValue(kWindowOpenKey, open ? QStringLiteral("true") : QStringLiteral("false"));
    settings_->sync();
}

QByteArray TunerSettings::WindowGeometry() const
{
    const QVariant stored = settings_->value(kWindowGeometryKey);
    return stored.canConvert<QByteArray>() ? stored.toByteArray() : QByteArray();
}

void TunerSettings::SetWindowGeometry(const QByteArray& geometry)
{
    settings_->setValue(kWindowGeometryKey, geometry);
    settings_->sync();
}

}  // namespace tonarel::tuner
