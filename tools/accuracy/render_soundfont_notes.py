#!/usr/bin/python3
"""Renders notes with fluidsynth from Debian's General MIDI soundfonts and
measures each note's reference pitch independently of Tonarel's code, for
tonarel-accuracy:

    render_soundfont_notes.py OUTPUT_FOLDER

Needs fluidsynth, the soundfont packages (fluid-soundfont-gm,
timgm6mb-soundfont, musescore-general-soundfont) and python3-numpy. Writes
OUTPUT_FOLDER/wav/*.wav (capture format: mono, 16-bit, 44 100 Hz, 44-byte
header; a second of pink-ish room noise at about -60 dBFS before the note and
half a second after it) and OUTPUT_FOLDER/manifest.tsv. Rendered files stay
out of the repository.

The reference pitch: the first partial's mean frequency over the sustained
stretch (0.1 s after the attack until the note has fallen 30 dB or to 15 dB
over the noise, at most 2 s), found near the nominal pitch of the MIDI note
(so no octave can be mistaken) in a long zero-padded Hann spectrum, and
measured as the magnitude-weighted slope of the unwrapped phase of its band.
A note whose first partial lies more than 25 dB under its strongest partial,
or wobbles by more than 10 cents, is rated unreliable.
"""
import os
import sys

import numpy as np

import render_support
from render_support import END_OF_TRACK, RATE, capture_header, render_raw, variable_length

SOUNDFONTS = {
    "fluid": "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "tim": "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "mscore": "/usr/share/sounds/sf3/MuseScore_General.sf3",
}
# (instrument, GM program, notes, velocities): programs and notes other than
# those of the shared recordings where the instrument is the same.
PLAN = [
    ("piano", 0, [24, 33, 45, 52, 62, 74, 86, 98, 105], [50, 110]),
    ("bright_piano", 1, [36, 55, 79], [90]),
    ("harpsichord", 6, [41, 65, 89], [90]),
    ("guitar_nylon", 24, [45, 57, 69], [70]),
    ("guitar_steel", 25, [43, 62, 74], [100]),
    ("bass", 32, [28, 35, 43], [100]),
    ("violin", 40, [60, 72, 84], [90]),
    ("cello", 42, [36, 48, 60], [90]),
    ("trumpet", 56, [60, 76], [100]),
    ("oboe", 68, [62, 77], [90]),
    ("bassoon", 70, [34, 50], [90]),
    ("clarinet", 71, [52, 67], [90]),
    ("flute", 73, [67, 88], [90]),
    ("organ", 19, [43, 67], [90]),
]


def midi_file(program, note, velocity, seconds=2.5):
    track = variable_length(0) + bytes([0xC0, program]) + variable_length(0) + bytes([0x90, note, velocity])
    track += variable_length(int(seconds * 960)) + bytes([0x80, note, 0]) + variable_length(960) + END_OF_TRACK
    return render_support.midi_file(track)


def render(soundfont, program, note, velocity):
    raw = render_raw(soundfont, midi_file(program, note, velocity))
    return np.frombuffer(raw, dtype="<i2").astype(np.float64).reshape(-1, 2).mean(axis=1)


def room_noise(count, rng):
    white = rng.standard_normal(count)
    pink = np.cumsum(white) * 0.02
    pink -= np.convolve(pink, np.ones(2001) / 2001, mode="same")  # keep it from wandering off
    return pink / (np.std(pink) + 1e-12) * 32.0  # about -60 dBFS


def sustained_stretch(x, noise_level):
    block = 512
    levels = np.array([np.mean(x[i:i + block] ** 2) for i in range(0, len(x) - block, block)])
    peak_block = int(np.argmax(levels))
    attack = int(np.argmax(levels >= levels[peak_block] / 10))
    end_level = max(levels[peak_block] * 1e-3, noise_level * 10 ** 1.5)
    end = len(levels)
    for b in range(peak_block + 1, len(levels)):
        if levels[b] < end_level:
            end = b
            break
    first = attack * block + min(int(0.1 * RATE), (end - attack) * block // 4)
    last = min(end * block, first + 2 * RATE)
    return first, last


def band_phase_frequency(stretch, centre, half_width):
    n = len(stretch)
    size = 1 << int(np.ceil(np.log2(4 * n)))
    window = np.hanning(n)
    spectrum = np.fft.fft(stretch * window, size)
    freqs = np.fft.fftfreq(size, 1.0 / RATE)
    analytic = np.where((freqs > centre - half_width) & (freqs < centre + half_width), spectrum, 0)
    z = np.fft.ifft(analytic)[:n] / np.maximum(window, 1e-3)
    weight = np.abs(z) * window
    phase = np.unwrap(np.angle(z))
    t = np.arange(n) / RATE
    slope, _ = np.polyfit(t, phase, 1, w=weight)
    inst = np.diff(phase) * RATE / (2 * np.pi)
    wobble = np.sqrt(np.average((inst - slope / (2 * np.pi)) ** 2, weights=weight[1:] ** 2))
    return slope / (2 * np.pi), wobble


def measure(x, note, noise_level):
    first, last = sustained_stretch(x, noise_level)
    if last - first < 2048:
        return None
    stretch = x[first:last] - np.mean(x[first:last])
    nominal = 440.0 * 2 ** ((note - 69) / 12)
    n = len(stretch)
    size = 1 << int(np.ceil(np.log2(4 * n)))
    power = np.abs(np.fft.rfft(stretch * np.hanning(n), size)) ** 2
    freqs = np.fft.rfftfreq(size, 1.0 / RATE)
    near = (freqs > nominal * 2 ** (-0.6)) & (freqs < nominal * 2 ** 0.6)  # within 60 cents
    peak = freqs[near][np.argmax(power[near])]
    first_partial_power = power[near].max()
    strongest = power[freqs > 20].max()
    hz, wobble = band_phase_frequency(stretch, peak, min(0.4 * nominal, max(10.0, 0.05 * nominal)))
    weak = 10 * np.log10(strongest / first_partial_power) > 25
    wobble_cents = 1200 * np.log2(1 + wobble / hz)
    return hz, ("unreliable" if weak or wobble_cents > 10 else "good"), first / RATE


def write_capture(path, samples):
    data = np.clip(np.round(samples), -32768, 32767).astype("<i2").tobytes()
    with open(path, "wb") as f:
        f.write(capture_header(len(data)) + data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: render_soundfont_notes.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "wav"), exist_ok=True)
    rng = np.random.default_rng(20240611)
    rows = ["file\tinstrument\tmidi_note\tsoundfont\tvelocity\tnominal_hz\tmeasured_hz\treliability"]
    fonts = list(SOUNDFONTS.items())
    count = 0
    for instrument, program, notes, velocities in PLAN:
        for index, note in enumerate(notes):
            for velocity in velocities:
                font_name, font = fonts[(count + index) % len(fonts)]
                count += 1
                note_samples = render(font, program, note, velocity)
                if np.max(np.abs(note_samples)) < 100:
                    continue
                lead = int(RATE * rng.uniform(0.6, 1.0))
                total = lead + len(note_samples) + RATE // 2
                take = room_noise(total, rng)
                take[lead:lead + len(note_samples)] += note_samples
                measured = measure(take, note, 32.0 ** 2)
                if measured is None:
                    continue
                hz, reliability, _ = measured
                name = f"{count:03d}_{instrument}_{note}_v{velocity}_{font_name}.wav"
                write_capture(os.path.join(out, "wav", name), take)
                rows.append(f"{name}\t{instrument}\t{note}\t{font_name}\t{velocity}\t"
                            f"{440.0 * 2 ** ((note - 69) / 12):.4f}\t{hz:.4f}\t{reliability}")
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
