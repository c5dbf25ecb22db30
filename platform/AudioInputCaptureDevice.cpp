#include "platform/AudioInputCaptureDevice.h"

#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <span>
#include <string>
#include <system_error>

#include "platform/AudioDefaultInput.h"
#include "wave/CaptureError.h"

namespace tonarel {

namespace {

/// What one read takes from Qt's buffer: more than the sound server
/// delivers between two readyRead signals.
constexpr qint64 kReadBufferBytes = 64 * 1024;

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

/// The folder of `file` as an absolute path, so that the take stays where it
/// began if the working directory changes during it.
std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ignored);
    return (absolute.empty() ? file : absolute).parent_path();
}

}  // namespace

AudioInputCaptureDevice::AudioInputCaptureDevice() : readBuffer_(std::make_unique<std::byte[]>(kReadBufferBytes)) {}

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
    takeFolder_ = FolderOf(templateFile);
    input_ = input;
    source_ = std::make_unique<QAudioSource>(input, audioFormat);
    QObject::connect(source_.get(), &QAudioSource::stateChanged, source_.get(), [this](QAudio::State state) {
        if (state == QAudio::StoppedState && source_->error() != QAudio::NoError) {
            // The stream may already be gone (Qt deletes it on a fatal
            // error); if it is still there, keep what it holds. Either way
            // the take stops here.
            TakeDeliveredSound();
            StopReading();
        }
    });
}

void AudioInputCaptureDevice::Record()
{
    if (!source_) {
        throw CaptureError("录音设备没有打开，无法开始录音。");
    }
    StopReading();
    source_->stop();
    take_.reset();
    try {
        take_ = std::make_unique<TakeOnDisk>(takeFolder_, format_, MaxCaptureDataBytes(format_));
    } catch (...) {
        Close();
        throw;
    }
    stream_ = source_->start();
    if (!stream_ || source_->error() != QAudio::NoError) {
        const std::string name = NameOf(input_);
        Close();
        throw CaptureError("录音设备" + name + "无法开始录音。");
    }
    QObject::connect(stream_.data(), &QIODevice::readyRead, source_.get(), [this] { TakeDeliveredSound(); });
}

uint32_t AudioInputCaptureDevice::PositionMilliseconds()
{
    TakeDeliveredSound();
    const uint64_t bytesPerSecond = format_.BytesPerSecond();
    if (!take_ || bytesPerSecond == 0) {
        return 0;
    }
    const uint64_t milliseconds = uint64_t{take_->DataBytes()} * 1000 / bytesPerSecond;
    return static_cast<uint32_t>(std::min<uint64_t>(milliseconds, std::numeric_limits<uint32_t>::max()));
}

void AudioInputCaptureDevice::Save(const std::filesystem::path& file)
{
    if (!take_) {
        throw CaptureError("没有正在进行的录音，无法保存录音文件“" + file.string() + "”。");
    }
    // Qt holds back what arrived since the last readyRead (up to ~50 ms);
    // without this read the end of the note would be missing.
    TakeDeliveredSound();
    take_->SaveAs(file);
}

void AudioInputCaptureDevice::Close() noexcept
{
    StopReading();
    if (source_) {
        source_->stop();
        source_.reset();
    }
    take_.reset();
    input_ = QAudioDevice();
    format_ = CaptureFormat();
    takeFolder_.clear();
}

bool AudioInputCaptureDevice::CaptureFailed() const noexcept
{
    return take_ && take_->Failed();
}

void AudioInputCaptureDevice::TakeDeliveredSound() noexcept
{
    if (!stream_ || !take_) {
        return;
    }
    // Read in pieces through one buffer, so that a burst after a stall costs
    // no more memory than steady sound.
    for (;;) {
        const qint64 got = stream_->read(reinterpret_cast<char*>(readBuffer_.get()), kReadBufferBytes);
        if (got <= 0) {
            return;
        }
        if (!take_->Append(std::span<const std::byte>(readBuffer_.get(), static_cast<std::size_t>(got)))) {
            // Nothing more can be kept: the input is released, and the take
            // waits, lost, for the stop that reports it. The source is
            // stopped once this signal of its stream has returned, since
            // stopping it deletes the stream.
            StopReading();
            if (source_) {
                QTimer::singleShot(0, source_.get(), [source = source_.get()] { source->stop(); });
            }
            return;
        }
    }
}

void AudioInputCaptureDevice::StopReading() noexcept
{
    if (stream_ && source_) {
        stream_->disconnect(source_.get());
    }
    stream_ = nullptr;
}

}  // namespace tonarel
