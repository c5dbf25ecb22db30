#pragma once
// The real live input: the desktop's default sound input through Qt
// Multimedia, in push mode.

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/LiveSoundInput.h"

class QAudioSource;
class QIODevice;

namespace tonarel {

/// LiveSoundInput on a QAudioSource at 44 100 Hz mono Int16. The input is the
/// sound server's default source, chosen afresh at every Start (see
/// ChooseCaptureInput). The source's buffer is kept short (25 ms), so that
/// blocks arrive more than 20 times a second. When the sound server goes
/// away, blocks simply stop arriving; IsListening() stays true until Stop.
class AudioLiveSoundInput final : public LiveSoundInput {
public:
    AudioLiveSoundInput();
    ~AudioLiveSoundInput() override;

    AudioLiveSoundInput(const AudioLiveSoundInput&) = delete;
    AudioLiveSoundInput& operator=(const AudioLiveSoundInput&) = delete;

    void Start(BlockHandler onBlock) override;
    void Stop() noexcept override;
    bool IsListening() const noexcept override { return source_ != nullptr; }

private:
    void HandOverDelivered() noexcept;

    BlockHandler onBlock_;
    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> stream_;  // owned by source_
    std::vector<char> bytes_;     ///< read buffer; an odd byte waits here for its partner
    std::size_t pending_ = 0;     ///< bytes at the start of bytes_ left from the last read
    std::vector<int16_t> samples_;
};

}  // namespace tonarel
