#pragma once
// The two files of a take, named here once for every part of the program that
// writes, reads or deletes them.

namespace tonarel {

/// The finished take: saved when a recording stops, read by every analysis,
/// deleted at every new recording and when the program ends.
inline constexpr const char* kTakeFileName = "my.wav";

/// The empty recording template, written before every recording: its 44-byte
/// header gives the capture its format.
inline constexpr const char* kTakeTemplateFileName = "temp.wav";

}  // namespace tonarel
