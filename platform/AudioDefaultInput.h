#pragma once
// Which sound input a take is recorded from: the one the desktop's sound
// settings select. Qt 6.4's QMediaDevices::defaultAudioInput() is merely the
// first input that is not a monitor, not the server's default, so the default
// is asked of the sound server itself (PulseAudio, or PipeWire through its
// PulseAudio interface) and matched by name.

#include <QAudioDevice>
#include <chrono>
#include <optional>
#include <string>

namespace tonarel {

/// The name of the sound server's default source (for instance
/// "alsa_input.pci-0000_00_1b.0.analog-stereo"), asked of the server that
/// libpulse finds (PULSE_SERVER, else the user's own). Never starts a server.
/// Empty when no server answers within `timeout` or it names no default.
std::optional<std::string> QuerySoundServerDefaultSource(std::chrono::milliseconds timeout);

/// The input to record from: the input whose id is the server's default source
/// name, else Qt's default input. A null QAudioDevice when there is no input
/// at all.
QAudioDevice ChooseCaptureInput();

}  // namespace tonarel
