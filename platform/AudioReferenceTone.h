#pragma once
// The real reference tone: the desktop's default sound output through Qt
// Multimedia, pulling its samples from a ToneGenerator.

#include <memory>

#include "platform/ReferenceTone.h"

class QAudioSink;
class QTimer;

namespace tonarel {

class ToneGenerator;

/// ReferenceTone on a QAudioSink at 44 100 Hz mono Int16 in pull mode with
/// about 100 ms of buffer. Stop fades the tone out and releases the output
/// once the fade has played (a Play in between takes the tone up again).
class AudioReferenceTone final : public ReferenceTone {
public:
    AudioReferenceTone();
    ~AudioReferenceTone() override;

    AudioReferenceTone(const AudioReferenceTone&) = delete;
    AudioReferenceTone& operator=(const AudioReferenceTone&) = delete;

    void Play(double hz) override;
    void Stop() noexcept override;
    bool IsPlaying() const noexcept override { return playing_; }

private:
    void Release() noexcept;

    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<ToneGenerator> generator_;
    std::unique_ptr<QTimer> releaseTimer_;
    bool playing_ = false;
};

}  // namespace tonarel
