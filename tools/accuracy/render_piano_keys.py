#!/usr/bin/python3
"""Renders the 88 keys of a General MIDI soundfont's acoustic grand (program 0)
with fluidsynth, one capture file per key (mono, 16-bit, 44 100 Hz, 44-byte
header, a quarter second of quiet before the note):

    render_piano_keys.py SOUNDFONT OUTPUT_FOLDER [VELOCITY]

Writes OUTPUT_FOLDER/key01.wav ... key88.wav. Needs fluidsynth only (and
render_support.py beside it)."""
import array
import os
import sys

import render_support
from render_support import END_OF_TRACK, capture_header, render_raw, variable_length


def midi_file(note, velocity, seconds=3.0):
    track = variable_length(240) + bytes([0xC0, 0]) + variable_length(0) + bytes([0x90, note, velocity])
    track += variable_length(int(seconds * 960)) + bytes([0x80, note, 0]) + variable_length(480) + END_OF_TRACK
    return render_support.midi_file(track)


def render(soundfont, note, velocity):
    stereo = array.array("h")
    stereo.frombytes(render_raw(soundfont, midi_file(note, velocity)))
    return array.array("h", ((stereo[i] + stereo[i + 1]) // 2 for i in range(0, len(stereo) - 1, 2)))


def wave(samples):
    data = samples.tobytes()
    return capture_header(len(data)) + data


def main():
    soundfont, folder = sys.argv[1], sys.argv[2]
    velocity = int(sys.argv[3]) if len(sys.argv) > 3 else 90
    os.makedirs(folder, exist_ok=True)
    for key in range(1, 89):
        with open(os.path.join(folder, "key%02d.wav" % key), "wb") as out:
            out.write(wave(render(soundfont, key + 20, velocity)))


if __name__ == "__main__":
    main()
