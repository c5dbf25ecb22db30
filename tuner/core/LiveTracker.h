#pragma once
// The live reading of a note while it sounds: fed the input's samples block
// by block as they arrive, the tracker gives a reading every 1024 samples
// (43 a second): whether a note sounds, its first partial's frequency, how
// sure the reading is, and when it was taken.
//
// How: a note is decided by the precise reading's machinery, the series of
// partials that best explains the spectrum's peaks (precise/PartialSeries.h,
// which settles the octave), confirmed by two readings in a row. A note
// decided below 200 Hz is not reported until the samples since its attack
// fill the window of the octave below (at most 209 ms): a bass note's odd
// partials may build up after its even ones, so that at first it reads an
// octave high. Then the octave below is measured over its own window; when
// its series explains the spectrum clearly better, the note is taken an
// octave lower, or decided afresh when the lower note's partials do not yet
// place it (after eight such fresh decisions since the attack the note is
// reported as decided, so that no sound stays unread). From then on the series is held: each reading measures its
// partials from the phase advance between two frames a few milliseconds
// apart, over a window that fits the note (tuner/core/AdaptiveWindow.h:
// 46 ms from 1 kHz up, 93 ms from 100 Hz, 186 ms from 50 Hz, 372 ms below;
// from 50 to 100 Hz the partials found there are read again in frames half
// as long, so that a bass note's vibrato is not averaged away), and refits the
// stiff-string model, so the reading follows a bend or a vibrato without
// ever jumping an octave; a reading that would leap more than 50 cents
// counts as the note not heard. The note ends when its
// partials fade into the noise (three readings in a row with less than a
// quarter of the power in them), the input falls silent, or a new attack
// (the level rising 9 dB from one reading to the next) starts the next
// note. A search every eight readings may replace the held series, but only
// when it disagrees three times in a row.
//
// Input: mono 16-bit samples at 44 100 Hz. Memory: fixed at construction
// (a ring of the latest 32768 samples and the transforms' buffers); a
// decision between notes allocates its spectrum for the moment it takes.
// Cost: about 6 ms of CPU per second of input (bench/LiveTrackerBench.cpp).
// Latency: a note is first reported about 90 ms after it starts from 1 kHz
// up, 140 ms from 200 Hz, 210 to 230 ms from 50 Hz (later below, where a
// decision waits for a longer stretch); after a change in pitch the readings
// settle once the (shorter) frames hold only the new pitch, about 100 ms
// from 50 Hz up and 200 ms below. Not thread-safe; the
// constructor plans FFTW transforms and a decision plans one, so no other
// thread may plan FFTW transforms (precise readings included) at the same
// time.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tonarel::tuner {

/// One live reading.
struct LiveReading {
    /// A note sounds and the reading stands behind its frequency.
    bool found = false;
    /// The note's first partial in hertz, the frequency correction applied:
    /// 25 to 4600 when found, 0 otherwise.
    double firstPartialHz = 0.0;
    /// How clean the note's partials stand in the spectrum, 0 to 1 (the share
    /// of the power that lies in them); found readings have at least 0.5.
    double confidence = 0.0;
    /// Seconds from the first sample fed (since construction or Reset) to
    /// the end of the samples the reading uses: 1024 / 44100 for the first.
    double timeSeconds = 0.0;
    /// The stiff-string inharmonicity B of the note's partials, 0 to 0.03; 0
    /// with fewer than three partials.
    double inharmonicity = 0.0;
    /// How many partials the reading measured (0 when not found).
    uint32_t partialCount = 0;
    /// The first found reading of a new note.
    bool noteStarted = false;
};

class LiveTracker {
public:
    /// Samples between readings.
    static constexpr uint32_t kReadingInterval = 1024;

    LiveTracker();
    ~LiveTracker();
    LiveTracker(const LiveTracker&) = delete;
    LiveTracker& operator=(const LiveTracker&) = delete;

    /// Takes the next `block` of samples (any size, empty included) and
    /// appends to `out` one reading for every kReadingInterval samples
    /// completed by it. Example: blocks of 1000 samples give a reading after
    /// the second block (at 1024 samples), then after the third (2048).
    void Feed(std::span<const int16_t> block, std::vector<LiveReading>& out);

    /// Multiplies every frequency reported from now on by `factor` (the sound
    /// card's calibration, 1 + ppm / 1e6). A factor outside 0.9..1.1 or not
    /// finite is ignored. Default 1.
    void SetFrequencyCorrection(double factor);
    double FrequencyCorrection() const { return correction_; }

    /// Forgets the input: the next sample fed is at time 0, no note sounds.
    /// The frequency correction stays.
    void Reset();

private:
    struct State;
    LiveReading Read();
    std::unique_ptr<State> state_;
    double correction_ = 1.0;
};

}  // namespace tonarel::tuner
