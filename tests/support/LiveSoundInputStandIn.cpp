#include "tests/support/LiveSoundInputStandIn.h"

#include <algorithm>

#include "wave/CaptureError.h"

namespace tonarel {

void LiveSoundInputScript::Deliver(std::span<const int16_t> samples, std::size_t blockSize) const
{
    for (std::size_t at = 0; at < samples.size() && listener; at += blockSize) {
        listener(samples.subspan(at, std::min(blockSize, samples.size() - at)));
    }
}

void LiveSoundInputStandIn::Start(BlockHandler onBlock)
{
    Stop();
    ++script_->starts;
    if (script_->startFailure) {
        throw CaptureError(*script_->startFailure);
    }
    script_->listener = std::move(onBlock);
}

void ReferenceToneStandIn::Play(double hz)
{
    if (script_->playFailure) {
        throw CaptureError(*script_->playFailure);
    }
    script_->playingHz = hz;
}

}  // namespace tonarel
