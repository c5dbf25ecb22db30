#!/usr/bin/python3
"""Renders the 88 keys of a General MIDI soundfont's acoustic grand (program 0)
with fluidsynth, one capture file per key (mono, 16-bit, 44 100 Hz, 44-byte
header, a quarter second of quiet before the note):

    render_piano_keys.py SOUNDFONT OUTPUT_FOLDER [VELOCITY]

Writes OUTPUT_FOLDER/key01.wav ... key88.wav. Needs fluidsynth only."""
import array
import os
import struct
import subprocess
import sys
import tempfile

RATE = 44100


def midi_file(note, velocity, seconds=3.0):
    def var(n):
        out = [n & 0x7F]
        n >>= 7
        while n:
            out.insert(0, (n & 0x7F) | 0x80)
            n >>= 7
        return bytes(out)
    track = var(240) + bytes([0xC0, 0]) + var(0) + bytes([0x90, note, velocity])
    track += var(int(seconds * 960)) + bytes([0x80, note, 0]) + var(480) + bytes([0xFF, 0x2F, 0])
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" + struct.pack(">I", len(track)) + track


def render(soundfont, note, velocity):
    with tempfile.TemporaryDirectory() as scratch:
        mid, raw = os.path.join(scratch, "n.mid"), os.path.join(scratch, "n.raw")
        with open(mid, "wb") as f:
            f.write(midi_file(note, velocity))
        subprocess.run(["fluidsynth", "-ni", "-q", "-g", "0.6", "-r", str(RATE), "-T", "raw", "-O", "s16",
                        "-o", "synth.chorus.active=0", "-o", "synth.reverb.active=0", "-F", raw, soundfont, mid],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        stereo = array.array("h")
        with open(raw, "rb") as f:
            stereo.frombytes(f.read())
    mono = array.array("h", ((stereo[i] + stereo[i + 1]) // 2 for i in range(0, len(stereo) - 1, 2)))
    return mono


def wave(samples):
    data = samples.tobytes()
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
    header += struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16) + b"data" + struct.pack("<I", len(data))
    return header + data


def main():
    soundfont, folder = sys.argv[1], sys.argv[2]
    velocity = int(sys.argv[3]) if len(sys.argv) > 3 else 90
    os.makedirs(folder, exist_ok=True)
    for key in range(1, 89):
        with open(os.path.join(folder, "key%02d.wav" % key), "wb") as out:
            out.write(wave(render(soundfont, key + 20, velocity)))


if __name__ == "__main__":
    main()
