#include "platform/AudioReferenceTone.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>

#include "platform/LiveSoundInput.h"
#include "platform/ToneGenerator.h"
#include "wave/CaptureError.h"

namespace tonarel {

namespace {

constexpr qsizetype kSinkBufferBytes = kLiveInputSampleRate / 10 * 2;
/// The fade-out and what the sink still holds have played by then.
constexpr int kReleaseAfterMilliseconds = 250;

}  // namespace

AudioReferenceTone::AudioReferenceTone() : releaseTimer_(std::make_unique<QTimer>())
{
    releaseTimer_->setSingleShot(true);
    releaseTimer_->setInterval(kReleaseAfterMilliseconds);
    QObject::connect(releaseTimer_.get(), &QTimer::timeout, [this] { Release(); });
}

AudioReferenceTone::~AudioReferenceTone()
{
    Release();
}

void AudioReferenceTone::Play(double hz)
{
    if (playing_ && generator_) {
        generator_->SetFrequency(hz);
        return;
    }
    releaseTimer_->stop();
    Release();
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) {
        throw CaptureError("没有找到放音设备：请接好音箱或耳机，并检查系统的声音设置。");
    }
    QAudioFormat format;
    format.setChannelCount(1);
    format.setSampleRate(kLiveInputSampleRate);
    format.setSampleFormat(QAudioFormat::Int16);
    const std::string name = "“" + output.description().toStdString() + "”";
    if (!output.isFormatSupported(format)) {
        throw CaptureError("放音设备" + name + "不支持 44100 赫兹、单声道、16 位的放音。");
    }
    generator_ = std::make_unique<ToneGenerator>(hz);
    sink_ = std::make_unique<QAudioSink>(output, format);
    sink_->setBufferSize(kSinkBufferBytes);
    sink_->start(generator_.get());
    if (sink_->error() != QAudio::NoError) {
        Release();
        throw CaptureError("放音设备" + name + "无法放音。");
    }
    playing_ = true;
}

void AudioReferenceTone::Stop() noexcept
{
    if (!playing_) {
        return;
    }
    playing_ = false;
    if (generator_) {
        generator_->FadeOut();
    }
    releaseTimer_->start();
}

void AudioReferenceTone::Release() noexcept
{
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    generator_.reset();
    playing_ = false;
}

}  // namespace tonarel
