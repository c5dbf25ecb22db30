"""What the rendering scripts beside it share: a standard MIDI file around a
track, a capture-format header, and fluidsynth's render of a MIDI file to raw
16-bit stereo at 44 100 Hz with chorus and reverb off. Plain Python."""
import os
import struct
import subprocess
import tempfile

RATE = 44100
TICKS_PER_QUARTER = 480  # at the default 120 bpm: 960 ticks a second
END_OF_TRACK = bytes([0xFF, 0x2F, 0])


def variable_length(n):
    """A MIDI variable-length quantity (a delta time)."""
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)


def midi_file(track):
    """A format-0 standard MIDI file of one track (its events, END_OF_TRACK included)."""
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS_PER_QUARTER) + b"MTrk" + struct.pack(">I", len(track))
            + track)


def capture_header(data_bytes):
    """The 44-byte header of a capture file (mono, 16-bit, 44 100 Hz) holding `data_bytes` of samples."""
    header = b"RIFF" + struct.pack("<I", 36 + data_bytes) + b"WAVEfmt "
    header += struct.pack("<IHHIIHH", 16, 1, 1, RATE, 2 * RATE, 2, 16)
    return header + b"data" + struct.pack("<I", data_bytes)


def fluidsynth_command(soundfont, midi_path, raw_path):
    return ["fluidsynth", "-ni", "-q", "-g", "0.6", "-r", str(RATE), "-T", "raw", "-O", "s16",
            "-o", "synth.chorus.active=0", "-o", "synth.reverb.active=0", "-F", raw_path, soundfont, midi_path]


def render_raw(soundfont, midi):
    """fluidsynth's render of the MIDI file `midi` (bytes): interleaved stereo 16-bit samples, as bytes."""
    with tempfile.TemporaryDirectory() as scratch:
        midi_path, raw_path = os.path.join(scratch, "notes.mid"), os.path.join(scratch, "notes.raw")
        with open(midi_path, "wb") as f:
            f.write(midi)
        subprocess.run(fluidsynth_command(soundfont, midi_path, raw_path), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(raw_path, "rb") as f:
            return f.read()
