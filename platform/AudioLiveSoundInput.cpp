#include "platform/AudioLiveSoundInput.h"

#include <QAudioFormat>
#include <QAudioSource>
#include <QIODevice>
#include <cstring>

#include "platform/AudioDefaultInput.h"
#include "wave/CaptureError.h"

namespace tonarel {

namespace {

constexpr qsizetype kReadBytes = 16 * 1024;
/// 25 ms of sound: the sound server then delivers 35 to 40 blocks a second
/// (at 50 ms it was under 20 on a PulseAudio null sink), while a busy event
/// loop still has the server's own buffer behind this one.
constexpr qsizetype kSourceBufferBytes = kLiveInputSampleRate / 40 * 2;

}  // namespace

AudioLiveSoundInput::AudioLiveSoundInput() : bytes_(kReadBytes + 1), samples_(kReadBytes / 2 + 1) {}

AudioLiveSoundInput::~AudioLiveSoundInput()
{
    Stop();
}

void AudioLiveSoundInput::Start(BlockHandler onBlock)
{
    Stop();
    const QAudioDevice input = ChooseCaptureInput();
    if (input.isNull()) {
        throw CaptureError("没有找到录音设备：请接好麦克风，并检查系统的声音设置。");
    }
    QAudioFormat format;
    format.setChannelCount(1);
    format.setSampleRate(kLiveInputSampleRate);
    format.setSampleFormat(QAudioFormat::Int16);
    const std::string name = "“" + input.description().toStdString() + "”";
    if (!input.isFormatSupported(format)) {
        throw CaptureError("录音设备" + name + "不支持 44100 赫兹、单声道、16 位的录音。");
    }
    onBlock_ = std::move(onBlock);
    source_ = std::make_unique<QAudioSource>(input, format);
    source_->setBufferSize(kSourceBufferBytes);
    stream_ = source_->start();
    if (!stream_ || source_->error() != QAudio::NoError) {
        Stop();
        throw CaptureError("录音设备" + name + "无法开始录音。");
    }
    pending_ = 0;
    QObject::connect(stream_.data(), &QIODevice::readyRead, source_.get(), [this] { HandOverDelivered(); });
}

void AudioLiveSoundInput::Stop() noexcept
{
    if (stream_ && source_) {
        stream_->disconnect(source_.get());
    }
    stream_ = nullptr;
    if (source_) {
        source_->stop();
        source_.reset();
    }
    onBlock_ = nullptr;
    pending_ = 0;
}

void AudioLiveSoundInput::HandOverDelivered() noexcept
{
    while (stream_ && onBlock_) {
        const qint64 got = stream_->read(bytes_.data() + pending_, kReadBytes);
        if (got <= 0) {
            return;
        }
        const std::size_t bytes = pending_ + static_cast<std::size_t>(got);
        const std::size_t count = bytes / 2;
        std::memcpy(samples_.data(), bytes_.data(), count * 2);
        pending_ = bytes % 2;
        if (pending_ != 0) {
            bytes_[0] = bytes_[bytes - 1];
        }
        // The handler runs inside the stream's signal: it must not throw,
        // nor stop this input (that would delete the stream under it).
        const BlockHandler handler = onBlock_;
        handler(std::span<const int16_t>(samples_.data(), count));
    }
}

}  // namespace tonarel
