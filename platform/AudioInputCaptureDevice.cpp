#include "platform/AudioInputCaptureDevice.h"

#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <algorithm>
#include <limits>
#include <span>
#include <string>

#include "platform/AudioDefaultInput.h"
#include "wave/CaptureError.h"

namespace tonarel {

namespace {

QAudioFormat::SampleFormat SampleFormatOf(uint16_t bitsPerSample)
{
    switch (bitsPerSample) {
    case 8:
        return QAudioFormat::UInt8;
    case 16:
        return QAudioFormat::Int16;
    default:
        return QAudioFormat::Int32;
    }
}

std::string DescribeFormat(const CaptureFormat& format)
{
    return std::to_string(format.channels) + " 声道，" + std::to_string(format.bitsPerSample) + " 位，" +
           std::to_string(format.sampleRate) + " 赫兹";
}

std::string NameOf(const QAudioDevice& input)
{
    return "“" + input.description().toStdString() + "”";
}

}  // namespace

AudioInputCaptureDevice::AudioInputCaptureDevice() = default;

AudioInputCaptureDevice::~AudioInputCaptureDevice()
{
    Close();
}

void AudioInputCaptureDevice::Open(const std::filesystem::path& templateFile)
{
    Close();
    const CaptureFormat format = ReadCaptureTemplate(templateFile);

    const QAudioDevice input = ChooseCaptureInput();
    if (input.isNull()) {
        throw CaptureError("没有找到录音设备：请接好麦克风，并检查系统的声音设置。");
    }
    QAudioFormat audioFormat;
    audioFormat.setChannelCount(format.channels);
    audioFormat.setSampleRate(static_cast<int>(format.sampleRate));
    audioFormat.setSampleFormat(SampleFormatOf(format.bitsPerSample));
    if (!input.isFormatSupported(audioFormat)) {
        throw CaptureError("录音设备" + NameOf(input) + "不支持录音格式（" + DescribeFormat(format) + "）。");
    }
    format_ = format;
    input_ = input;
    source_ = std::make_unique<QAudioSource>(input, audioFormat);
    QObject::connect(source_.get(), &QAudioSource::stateChanged, source_.get(), [this](QAudio::State state) {
        if (state == QAudio::StoppedState && source_->error() != QAudio::NoError) {
            StopReadingAfterFailure();
        }
    });
}

void AudioInputCaptureDevice::Record()
{
    if (!source_) {
        throw CaptureError("录音设备没有打开，无法开始录音。");
    }
    if (stream_) {
        stream_->disconnect(source_.get());
    }
    source_->stop();
    take_.clear();
    stream_ = source_->start();
    if (!stream_ || source_->error() != QAudio::NoError) {
        const std::string name = NameOf(input_);
        Close();
        throw CaptureError("录音设备" + name + "无法开始录音。");
    }
    recording_ = true;
    QObject::connect(stream_.data(), &QIODevice::readyRead, source_.get(), [this] { TakeDeliveredSound(); });
}

uint32_t AudioInputCaptureDevice::PositionMilliseconds()
{
    TakeDeliveredSound();
    const uint64_t bytesPerSecond = format_.BytesPerSecond();
    if (!recording_ || bytesPerSecond == 0) {
        return 0;
    }
    const uint64_t milliseconds = uint64_t{static_cast<uint64_t>(take_.size())} * 1000 / bytesPerSecond;
    return static_cast<uint32_t>(std::min<uint64_t>(milliseconds, std::numeric_limits<uint32_t>::max()));
}

void AudioInputCaptureDevice::Save(const std::filesystem::path& file)
{
    if (!recording_) {
        throw CaptureError("没有正在进行的录音，无法保存录音文件“" + file.string() + "”。");
    }
    // Qt holds back what arrived since the last readyRead (up to ~50 ms);
    // without this read the end of the note would be missing.
    TakeDeliveredSound();
    WriteRecordingFile(file, format_,
                     std::as_bytes(std::span(take_.constData(), static_cast<std::size_t>(take_.size()))));
}

void AudioInputCaptureDevice::Close() noexcept
{
    if (source_) {
        if (stream_) {
            stream_->disconnect(source_.get());
        }
        source_->stop();
        source_.reset();
    }
    stream_ = nullptr;
    take_.clear();
    take_.squeeze();
    recording_ = false;
    input_ = QAudioDevice();
    format_ = CaptureFormat();
}

void AudioInputCaptureDevice::TakeDeliveredSound()
{
    if (!stream_) {
        return;
    }
    const QByteArray delivered = stream_->readAll();
    const qsizetype room = static_cast<qsizetype>(MaxCaptureDataBytes(format_)) - take_.size();
    take_.append(delivered.constData(), std::clamp<qsizetype>(delivered.size(), 0, std::max<qsizetype>(room, 0)));
}

void AudioInputCaptureDevice::StopReadingAfterFailure()
{
    // The stream may already be gone (Qt deletes it on a fatal error); if it is
    // still there, keep what it holds. Either way the take stops here.
    TakeDeliveredSound();
    if (stream_) {
        stream_->disconnect(source_.get());
    }
    stream_ = nullptr;
}

}  // namespace tonarel
