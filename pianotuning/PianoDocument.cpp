#include "pianotuning/PianoDocument.h"

#include <QFile>

#include "piano/PianoCsv.h"

namespace tonarel::pianotuning {

namespace {

QString NameOf(const std::filesystem::path& path)
{
    return QFile::decodeName(path.c_str());
}

QString SaveFailureMessage(const char* what, const std::filesystem::path& path, const SaveFailure& failure)
{
    return QStringLiteral("无法保存%1“%2”：%3。").arg(QString::fromUtf8(what), NameOf(path), QString::fromStdString(failure.reason));
}

}  // namespace

PianoDocument::PianoDocument(QObject* parent) : QObject(parent)
{
    Refit();
}

bool PianoDocument::AddReading(int key, const piano::KeyReading& reading)
{
    if (!contents_.measurements.Add(key, reading)) {
        return false;
    }
    modified_ = true;
    Refit();
    emit Changed();
    return true;
}

void PianoDocument::ClearKey(int key)
{
    if (contents_.measurements.Readings(key).empty()) {
        return;
    }
    contents_.measurements.ClearKey(key);
    modified_ = true;
    Refit();
    emit Changed();
}

bool PianoDocument::SetReferenceHz(double hz)
{
    if (!(hz >= piano::kLowestReferenceHz && hz <= piano::kHighestReferenceHz)) {
        return false;
    }
    if (hz == contents_.referenceHz) {
        return true;
    }
    contents_.referenceHz = hz;
    if (contents_.measurements.MeasuredKeyCount() > 0) {
        modified_ = true;
    }
    emit Changed();
    return true;
}

std::optional<QString> PianoDocument::Open(const std::filesystem::path& path)
{
    const char* refusal = nullptr;
    std::optional<piano::PianoFileContents> read = piano::ReadPianoFile(path, &refusal);
    if (!read) {
        const QString reason = QString::fromUtf8(refusal != nullptr ? refusal : piano::kNotPianoFileMessage);
        return QStringLiteral("无法打开钢琴文件“%1”：%2").arg(NameOf(path), reason);
    }
    contents_ = std::move(*read);
    // The saved curve stays; the fit is for the notices and the B shown.
    fit_ = piano::FitInharmonicity(contents_.measurements);
    filePath_ = path;
    modified_ = false;
    emit Changed();
    return std::nullopt;
}

std::optional<QString> PianoDocument::Save(const std::filesystem::path& path)
{
    if (const std::optional<SaveFailure> failure = piano::WritePianoFile(path, contents_)) {
        return SaveFailureMessage("钢琴文件", path, *failure);
    }
    filePath_ = path;
    modified_ = false;
    emit Changed();
    return std::nullopt;
}

std::optional<QString> PianoDocument::ExportCsv(const std::filesystem::path& path) const
{
    if (const std::optional<SaveFailure> failure = piano::WritePianoCsv(path, contents_)) {
        return SaveFailureMessage("CSV 文件", path, *failure);
    }
    return std::nullopt;
}

void PianoDocument::Refit()
{
    fit_ = piano::FitInharmonicity(contents_.measurements);
    contents_.curve = piano::ComputeStretchCurve(fit_);
}

}  // namespace tonarel::pianotuning
