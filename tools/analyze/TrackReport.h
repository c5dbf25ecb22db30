#pragma once
// tonarel-analyze --track: the live tracker's readings over a whole
// recording, one JSON object per line, as fast as the file can be read.

#include <cstdio>
#include <string>

#include "tuner/core/LiveTracker.h"
#include "tuner/core/TuningSystem.h"
#include "wave/CaptureFile.h"

namespace tonarel::analyze {

/// One reading as a JSON object on one line (newline included):
///   {"time":0.5805,"found":true,"frequency":440.01,"note":"A4","target":440,"cents":0.039,"confidence":0.99}
/// time: seconds from the first sample to the end of the samples the reading
/// uses; note, target (Hz) and cents: the nearest note of `tuning` (see
/// TuningSystem::Nearest), its target and the real cents from it; the
/// example is on the default system, A4 = 440 Hz, 十二平均律. frequency,
/// note, target and cents are null when no note was found. Numbers are the
/// shortest decimals that read back to the same double.
std::string FormatTrackedReading(const tuner::LiveReading& reading, const tuning::TuningSystem& tuning);

/// Feeds every sample of `file` (opened, 16-bit, positioned at its first
/// sample) to a live tracker and writes each reading, named in `tuning`, to
/// `out`. False when writing failed.
bool WriteTrackedReadings(CaptureFile& file, const tuning::TuningSystem& tuning, std::FILE* out);

}  // namespace tonarel::analyze
