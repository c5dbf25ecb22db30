#pragma once
// How tonarel-stretch prints a piano's curve: a table for people, or one JSON
// object for programs.

#include <string>

#include "piano/PianoMeasurements.h"
#include "piano/StretchCurve.h"

namespace tonarel::stretch {

/// What is printed: the curve, the readings behind it, the reference.
struct StretchResult {
    double referenceHz = 440.0;
    piano::PianoMeasurements measurements;
    piano::StretchCurve curve;
};

/// A heading (the reference; whether the curve is measured or the average
/// grand's), then one line per key 1 to 88: key, name, B, target in cents and
/// hertz, and the measured cents from equal temperament ("-" for a key not
/// measured). UTF-8, names padded by their width on a terminal.
std::string FormatTable(const StretchResult& result);

/// {"reference": Hz, "curve": "measured" | "average_grand", "keys": [{"key":
/// 1, "name": "A0", "b": B, "target_cents": c, "target_hz": Hz,
/// "measured_cents": c or null}, ... 88 keys]}, one key a line, numbers in the
/// shortest form that reads back to the same double, ending in a newline.
std::string FormatJson(const StretchResult& result);

}  // namespace tonarel::stretch
