#include "platform/ToneGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/LiveSoundInput.h"

namespace tonarel {

namespace {

constexpr double kSampleRate = kLiveInputSampleRate;
constexpr double kPeak = 0.25 * 32767.0 / 1.75;  // the three partials together stay at a quarter of full scale
constexpr double kGainStep = 1.0 / (0.020 * kSampleRate);

}  // namespace

ToneGenerator::ToneGenerator(double hz, QObject* parent) : QIODevice(parent), hz_(hz)
{
    // Unbuffered: QIODevice would otherwise make up to 16 KB ahead of the
    // sound output, and a new frequency or a fade-out would wait behind it.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 ToneGenerator::bytesAvailable() const
{
    return 1 << 16;
}

qint64 ToneGenerator::readData(char* data, qint64 maxSize)
{
    const qint64 count = maxSize / 2;
    const double step = std::clamp(hz_.load(), 20.0, 20000.0) / kSampleRate;
    const bool fadingOut = fadingOut_.load();
    for (qint64 i = 0; i < count; ++i) {
        gain_ = fadingOut ? std::max(0.0, gain_ - kGainStep) : std::min(1.0, gain_ + kGainStep);
        const double angle = 2.0 * std::numbers::pi * phaseTurns_;
        const double value =
            gain_ * kPeak * (std::sin(angle) + 0.5 * std::sin(2.0 * angle) + 0.25 * std::sin(3.0 * angle));
        const auto sample = static_cast<int16_t>(std::lround(value));
        std::memcpy(data + 2 * i, &sample, 2);
        phaseTurns_ += step;
        phaseTurns_ -= std::floor(phaseTurns_);
    }
    return count * 2;
}

qint64 ToneGenerator::writeData(const char* /*data*/, qint64 /*maxSize*/)
{
    return -1;
}

}  // namespace tonarel
