#!/usr/bin/python3
"""Renders every organ and reed program of the General MIDI set (organs 17-24,
reeds 65-72, counted from 1) from Debian's three soundfonts, every key from C2
to C6, for checking the octave the precise reading decides on with
tonarel-accuracy:

    render_organ_reed_notes.py OUTPUT_FOLDER
    tonarel-accuracy OUTPUT_FOLDER --notes

Needs fluidsynth, sox and the soundfont packages (fluid-soundfont-gm,
timgm6mb-soundfont, musescore-general-soundfont); no numpy. Writes
OUTPUT_FOLDER/wav/*.wav (capture format: a second of quiet room noise, the key
held for 2 s, half a second of noise) and OUTPUT_FOLDER/manifest.tsv, whose
measured_hz is the key's equal-tempered pitch on A = 440 Hz: the soundfonts
are tuned within a few cents of it, so the figures show octave errors, not
cents. An organ registration with a rank an octave below the key (several
programs have one, some soundfonts' church organ throughout) reads at that
rank's pitch, an octave low, and counts as a gross error here.
"""
import os
import random
import struct
import subprocess
import sys
import tempfile

import render_support
from render_support import END_OF_TRACK, RATE, capture_header, render_raw, variable_length

SOUNDFONTS = {
    "fluid": "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "tim": "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "mscore": "/usr/share/sounds/sf3/MuseScore_General.sf3",
}
PROGRAMS = {  # 1-based General MIDI numbers
    17: "drawbar_organ", 18: "percussive_organ", 19: "rock_organ", 20: "church_organ", 21: "reed_organ",
    22: "accordion", 23: "harmonica", 24: "tango_accordion", 65: "soprano_sax", 66: "alto_sax", 67: "tenor_sax",
    68: "baritone_sax", 69: "oboe", 70: "english_horn", 71: "bassoon", 72: "clarinet",
}
KEYS = range(36, 85)  # C2 to C6
HELD, SLOT = 2.0, 3.0  # seconds each key is held, and between key starts
LEAD, KEPT, TAIL = RATE, int((HELD + 0.3) * RATE), RATE // 2  # samples in each file


def midi_file(program):
    """Every key in turn, one a slot (960 ticks a second)."""
    track = variable_length(0) + bytes([0xC0, program - 1])
    for index, key in enumerate(KEYS):
        track += variable_length(0 if index == 0 else int((SLOT - HELD) * 960)) + bytes([0x90, key, 90])
        track += variable_length(int(HELD * 960)) + bytes([0x80, key, 0])
    track += variable_length(960) + END_OF_TRACK
    return render_support.midi_file(track)


def capture(data):
    return capture_header(len(data)) + data


def room_noise(count, seed):
    """Brownish noise at about 30 sample units rms (-60 dBFS)."""
    generator = random.Random(seed)
    level, samples = 0.0, []
    for _ in range(count):
        level = 0.97 * level + generator.gauss(0, 1)
        samples.append(max(-32768, min(32767, round(7.0 * level))))
    return struct.pack("<%dh" % count, *samples)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: render_organ_reed_notes.py OUTPUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "wav"), exist_ok=True)
    rows = ["file\tinstrument\tmidi_note\tsoundfont\tnominal_hz\tmeasured_hz\treliability"]
    with tempfile.TemporaryDirectory() as scratch:
        noise = os.path.join(scratch, "noise.wav")
        with open(noise, "wb") as f:
            f.write(capture(room_noise(LEAD + KEPT + TAIL, 20240611)))
        for program, instrument in PROGRAMS.items():
            for font_name, font in SOUNDFONTS.items():
                mono = subprocess.run(["sox", "-D", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16", "-c", "2",
                                       "-", "-t", "raw", "-", "remix", "-"], input=render_raw(font, midi_file(program)),
                                      check=True, capture_output=True).stdout
                for index, key in enumerate(KEYS):
                    start = 2 * int(index * SLOT * RATE)
                    held = mono[start:start + 2 * KEPT].ljust(2 * KEPT, b"\0")
                    piece = os.path.join(scratch, "key.wav")
                    with open(piece, "wb") as f:
                        f.write(capture(bytes(2 * LEAD) + held + bytes(2 * TAIL)))
                    name = f"{program:02d}_{instrument}_{key}_{font_name}.wav"
                    subprocess.run(["sox", "-D", "-m", "-v", "1", piece, "-v", "1", noise, "-b", "16",
                                    os.path.join(out, "wav", name)], check=True, stderr=subprocess.DEVNULL)
                    hz = 440.0 * 2 ** ((key - 69) / 12)
                    rows.append(f"{name}\t{instrument}\t{key}\t{font_name}\t{hz:.4f}\t{hz:.4f}\tgood")
    with open(os.path.join(out, "manifest.tsv"), "w") as f:
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
