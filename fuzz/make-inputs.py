#!/usr/bin/env python3
"""Writes the committed fuzz inputs that are made by hand rather than found:
the seed corpora (fuzz/corpus/NAME) and the inputs behind faults reported
before the harnesses existed (fuzz/regressions/NAME). Inputs that a harness
finds are committed as libFuzzer wrote them, beside these.

Run from anywhere; it rewrites only the files it names."""

import json
import math
import os
import random
import shutil
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))


def write(kind, harness, name, data):
    folder = os.path.join(HERE, kind, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


# --- capture: a 7-byte option prefix, then the file (see CaptureFileFuzz.cpp)

def options(segment_mode=0, ratio_mode=0, divisor_mode=0, whole=False, v=0, r=0, d=0):
    modes = segment_mode | ratio_mode << 2 | divisor_mode << 4 | (0x40 if whole else 0)
    return struct.pack("<BIBB", modes, v, r, d)


def wave(samples, data_size=None, byte_rate=88200, bits=16):
    data = struct.pack("<%dh" % len(samples), *samples)
    size = len(data) if data_size is None else data_size
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
    header += struct.pack("<IHhiihh", 16, 1, 1, 44100, byte_rate, 2, bits)
    header += b"data" + struct.pack("<I", size & 0xFFFFFFFF)
    return header + data


def sine(count, period, amplitude, phase=0):
    return [round(amplitude * math.sin(2 * math.pi * (i + phase) / period)) for i in range(count)]


def decaying(count, hz, amplitude, decay):
    return [round(amplitude * math.exp(-i / 44100 / decay) * math.sin(2 * math.pi * hz * i / 44100))
            for i in range(count)]


def noise(count, amplitude, seed):
    generator = random.Random(seed)
    return [generator.randint(-amplitude, amplitude) for _ in range(count)]


def mixed(*pieces):
    return [sample for piece in pieces for sample in piece]


def capture_inputs():
    tone = mixed([0] * 6615, sine(13230, 100, 10000), [0] * 6615)  # 0.6 s, 441 Hz in the middle
    plucked = [max(-32768, min(32767, a + b))
               for a, b in zip(mixed([0] * 4410, decaying(22050, 261.6, 20000, 0.15)), noise(26460, 40, 7))]
    seeds = {
        "tone-automatic": options() + wave(tone),
        "tone-meter-options": options(1, 1, 1, True, v=490, r=11, d=2) + wave(tone),
        "plucked-automatic-divisor-6": options(0, 0, 1, True, d=4) + wave(plucked),
        "plucked-given-ratio-3": options(0, 1, 0, r=2) + wave(plucked),
        "plucked-odd-segment": options(2, 1, 1, v=4089, r=19, d=2) + wave(plucked),
        "loudest-first-sample": options(0, 1, 1, r=9) + wave([20000] + sine(10239, 100, 15000)[1:]),
        "full-scale-negative": options() + wave(mixed([0] * 5000, [-32768, 32767] * 3000, [0] * 9000)),
        "header-only": options() + wave([]),
        "eight-bit": options() + wave(tone[:4000], bits=8),
        "short-header": options() + wave([])[:20],
        "no-file": b"",
    }
    for name, data in seeds.items():
        write("corpus", "capture", name, data)

    # A byte rate of 0 or less: 0 Hz, negative frequencies, or exactly -1
    # after a buffer and a byte count had been handed out.
    regressions = {
        "byte-rate-zero": options() + wave(tone, byte_rate=0),
        "byte-rate-minus-88200": options(0, 1, 1, r=19, d=2) + wave(tone, byte_rate=-88200),
        "byte-rate-minus-42-over-441-samples": options(2, 1, 2, v=84, r=19, d=2) + wave(sine(441, 6, 10000),
                                                                                        byte_rate=-42),
        # The segment starts in the header, whose bytes count as samples.
        "byte-rate-negative-48-byte-file": options(2, 2, 2, v=46, r=12, d=1) + bytes.fromhex(
            "846ea469b31b1f02442669d3931271f587646c6d9ebe0beb437cc1b7835b4e9b9d211000871"
            "05e0eda1f09262f9085a2"),
        # DataSize negative as a signed field: read as the data present.
        "data-size-ffffffff": options() + wave(tone, data_size=0xFFFFFFFF),
        "data-size-80000000": options() + wave(tone, data_size=0x80000000),
    }
    for name, data in regressions.items():
        write("regressions", "capture", name, data)


# --- precise: the capture file alone (see PreciseReadingFuzz.cpp)

def harmonic(count, hz, amplitudes, decay, inharmonicity=0.0):
    return [round(sum(a * math.exp(-i / 44100 / decay) *
                      math.sin(2 * math.pi * k * hz * math.sqrt(1 + inharmonicity * k * k) * i / 44100)
                      for k, a in enumerate(amplitudes, 1)))
            for i in range(count)]


def precise_inputs():
    clipped = lambda samples: [max(-32768, min(32767, s)) for s in samples]
    rest = [0] * 2205
    seeds = {
        "plucked-middle-c": wave(mixed(rest, clipped(
            [a + b for a, b in zip(decaying(22050, 261.6, 16000, 0.4), noise(22050, 30, 3))]))),
        "missing-fundamental-a2": wave(mixed(rest, harmonic(26460, 110.0, [0, 3000, 4000, 3000, 2000, 1000], 0.6))),
        "stiff-string-a6": wave(harmonic(13230, 1760.0, [8000, 3000, 1000], 0.3, inharmonicity=8e-4)),
        "vibrato-a4": wave([round(9000 * math.sin(2 * math.pi * 440 * (i / 44100) +
                                                   0.0116 * 440 / 5.5 * math.sin(2 * math.pi * 5.5 * i / 44100)))
                            for i in range(26460)]),
        "noise-only": wave(noise(22050, 3000, 11)),
        "silence": wave([0] * 8192),
        "too-short-for-its-pitch": wave(sine(1500, 1764, 12000)),
        "data-size-ffffffff": wave(sine(13230, 100, 10000), data_size=0xFFFFFFFF),
        "eight-bit": wave(sine(4000, 100, 10000), bits=8),
        "header-only": wave([]),
        "short-header": wave([])[:20],
    }
    for name, data in seeds.items():
        write("corpus", "precise", name, data)


# --- soundfile: a sound file of any format (see SoundFileFuzz.cpp)

def any_wave(frames, rate, bits=16, floating=False, extensible=False):
    """frames: a list of tuples, one value per channel in [-1, 1)."""
    channels = len(frames[0])
    width = bits // 8
    if floating:
        data = b"".join(struct.pack("<%df" % channels, *frame) for frame in frames)
    else:
        scale = 2 ** (bits - 1)
        data = b"".join(max(-scale, min(scale - 1, round(v * scale))).to_bytes(width, "little", signed=True)
                        for frame in frames for v in frame)
    tag = 0xFFFE if extensible else (3 if floating else 1)
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * channels * width, channels * width, bits)
    if extensible:
        sub = (b"\x03\x00" if floating else b"\x01\x00") + bytes.fromhex("000000001000800000aa00389b71")
        fmt += struct.pack("<HHI", 22, bits, 0) + sub
    body = b"WAVEfmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def soundfile_inputs():
    def tone(rate, seconds, hz, channels=1):
        return [tuple(0.3 * math.sin(2 * math.pi * hz * i / rate) + 0.1 * math.sin(4 * math.pi * hz * i / rate)
                      for _ in range(channels)) for i in range(int(rate * seconds))]
    seeds = {
        "a4-22050-hz": any_wave(tone(22050, 0.3, 440), 22050),
        "a4-stereo": any_wave(tone(44100, 0.2, 440, 2), 44100),
        "a3-48000-hz-24-bit": any_wave(tone(48000, 0.2, 220), 48000, bits=24),
        "a4-float-extensible": any_wave(tone(16000, 0.3, 440), 16000, bits=32, floating=True, extensible=True),
        "capture-format": any_wave(tone(44100, 0.2, 440), 44100),
        "not-a-sound-file": b"A4 440 Hz, C5 523.25 Hz\n" * 4,
    }
    for name, data in seeds.items():
        write("corpus", "soundfile", name, data)
    # The compressed formats from the first seed, where sox is at hand.
    folder = os.path.join(HERE, "corpus", "soundfile")
    if shutil.which("sox"):
        for name, kind in (("a4-flac", "flac"), ("a4-ogg", "ogg")):
            subprocess.run(["sox", os.path.join(folder, "a4-22050-hz"), "-t", kind, os.path.join(folder, name)],
                           check=True)


# --- temperament: the file, and byte 491 choosing the options (see TemperamentFileFuzz.cpp)

def qrv(treble, bass, slots, magic=b"qrv"):
    return magic + struct.pack("<ii", treble, bass) + struct.pack("<120f", *slots)


def choice(fixed_base=False, separator=0, readings=0):
    return bytes([(1 if fixed_base else 0) | separator << 1 | readings << 3])


def temperament_inputs():
    scale = [440 * 2 ** (k / 12) for k in range(60)] + [440 / 2 ** (k / 12) for k in range(60)]
    played = [hz * (1 + 0.003 * math.sin(k)) for k, hz in enumerate(scale)]
    nan_slots = list(played)
    nan_slots[3] = float("nan")
    nan_slots[61] = float("inf")
    zero_first = list(played)
    zero_first[60] = 0.0
    seeds = {
        "empty-table.qrv": qrv(0, 60, [0.0] * 120),
        "both-directions.qrv": qrv(3, 62, played) + choice(False, 1, 4),
        "full-table-fixed-base.qrv": qrv(60, 120, played) + choice(True, 2, 31),
        "odd-slots.qrv": qrv(5, 63, nan_slots) + choice(True, 0, 2),
        "zero-first-bass.qrv": qrv(2, 61, zero_first) + choice(False, 2, 6),
        "upper-case-magic.qrv": qrv(1, 60, played, magic=b"QRV"),
        "treble-count-61.qrv": qrv(61, 60, played),
        "bass-cursor-59.qrv": qrv(0, 59, played),
        "one-byte-short.qrv": qrv(2, 61, played)[:490],
    }
    for name, data in seeds.items():
        write("corpus", "temperament", name, data)


# --- numbers: kind, separator, then the number (see NumberFormatFuzz.cpp)

def number_inputs():
    def single(x, separator=0):
        return bytes([0, separator]) + struct.pack("<f", x)

    def double(x, separator=0):
        return bytes([1, separator]) + struct.pack("<d", x)

    def extended(significand, sign_exponent, separator=0):
        return bytes([2, separator]) + struct.pack("<QH", significand, sign_exponent)

    def whole(n, separator=0):
        return bytes([3, separator]) + struct.pack("<i", n)

    seeds = {
        "float-261.6-comma": single(261.6, 1),
        "float-261.6-arabic": single(261.6, 2),
        "float-minus-0.4213-arabic": single(-0.4213, 2),
        "float-0.1702-middle-dot": single(0.1702, 3),
        "float-0.005": single(0.005),
        "float-smallest-subnormal": struct.pack("<BBI", 0, 1, 1),
        "float-nan": single(float("nan"), 1),
        "float-minus-infinity": single(float("-inf")),
        "double-tie-256.0001220703125": double(256.0001220703125, 1),
        "double-0.00005": double(0.00005, 2),
        "double-1e15": double(1e15, 1),
        "double-999999999999999.5": double(999999999999999.5),
        "double-9.99609375": double(9.99609375, 2),
        "double-minus-0.00390625": double(-0.00390625, 1),
        "extended-largest": extended(0xFFFFFFFFFFFFFFFF, 0x7FFE, 1),
        "extended-smallest-subnormal": extended(1, 0, 2),
        "extended-minus-one": extended(1 << 63, 0xBFFF, 3),
        "whole-minus-59": whole(-59, 1),
        "whole-int-min": whole(-2147483648, 2),
    }
    for name, data in seeds.items():
        write("corpus", "numbers", name, data)


# --- scala: the text of a .scl file (see ScalaScaleFuzz.cpp)

def scala_inputs():
    nineteen = "".join("%.6f\n" % (step * 1200 / 19) for step in range(1, 20))
    seeds = {
        "equal-twelve": "! equal.scl\n!\n12 equal\n 12\n!\n" +
                        "".join(" %d.0\n" % (100 * k) for k in range(1, 12)) + " 2/1\n",
        "just-crlf-comments": "\ufeff! just.scl\r\n!\r\n5-limit just\r\n12\r\n! degrees\r\n" +
                              "".join("%s\r\n" % r for r in "16/15 9/8 6/5 5/4 4/3 45/32 3/2 8/5 5/3 9/5 15/8".split()) +
                              "2\r\n",
        "meantone-cents-with-text": "quarter-comma\n 3 pitches\n 193.157 tone\n\t696.578 fifth\n1200. octave\n",
        "bohlen-pierce": "Bohlen-Pierce\n13\n27/25\n25/21\n9/7\n7/5\n75/49\n5/3\n9/5\n49/25\n15/7\n7/3\n"
                         "63/25\n25/9\n3/1\n",
        "nineteen-equal": "19-EDO\n19\n" + nineteen,
        "unordered-degrees-empty-description": "\n3\n-50.0\n1300.0\n2/1\ntrailing text\n",
        "largest-numbers": "d\n2\n2147483647/2147483646\n2147483647\n",
        "degrees-missing": "d\n12\n9/8\n5/4\n",
        "absurd-count": "d\n2147483647\n3/2\n",
        "not-a-pitch": "d\n3\n9/8\nfifth\n2/1\n",
        "negative-ratio": "d\n2\n-3/2\n2/1\n",
        "period-below-unison": "d\n2\n3/2\n1/2\n",
        "empty": "",
    }
    for name, text in seeds.items():
        write("corpus", "scala", name, text.encode("utf-8"))
# --- tracker: a 4-byte prefix, then the samples (see LiveTrackerFuzz.cpp)

def tracker_prefix(repeats, block_seed, correction=0, reset_halfway=False):
    return struct.pack("<BBbB", repeats - 1, block_seed, correction, 1 if reset_halfway else 0)


def samples(values):
    return struct.pack("<%dh" % len(values), *values)


def tracker_inputs():
    seeds = {
        # 0.19 s of a bright A4 fed 16 times over: about 3 s of a held note.
        "a4-repeated": tracker_prefix(16, 7) + samples(harmonic(8192, 440.0, [8000 / k for k in range(1, 7)], 100)),
        # A bass string with stretched partials, sharpened by the correction.
        "stiff-bass-corrected": tracker_prefix(12, 200, 90) + samples(
            harmonic(12000, 65.4, [6000 / k for k in range(1, 16)], 100, 3e-4)),
        # A quiet note, -40 dBFS, reset halfway.
        "quiet-reset": tracker_prefix(10, 3, -50, True) + samples(harmonic(6000, 523.25, [150, 60, 30], 100)),
        "noise": tracker_prefix(8, 99) + samples(noise(8000, 12000, 5)),
        "full-scale-square": tracker_prefix(16, 1) + samples(([32767] * 50 + [-32768] * 50) * 60),
        "silence-then-clicks": tracker_prefix(6, 42) + samples([0] * 3000 + [32767, -32768] * 4 + [0] * 3000),
        "prefix-only": tracker_prefix(1, 0),
    }
    for name, data in seeds.items():
        write("corpus", "tracker", name, data)
# --- piano: the file's bytes (see piano/PianoFile.h)

def piano_file(readings, source="measured", version=1, reference=440.0):
    curve = [{"key": key, "b": round(1e-4 * 1.07 ** (key - 28), 8), "target_cents": round((key - 49) * 0.4, 3)}
             for key in range(1, 89)]
    return {"format": "tonarel-piano", "version": version, "reference_hz": reference, "readings": readings,
            "curve": {"source": source, "keys": curve}}


def piano_reading(key, cents=0.0, b=3e-4, partials=12, at=1796000000):
    hz = 440.0 * 2 ** ((key - 49) / 12 + cents / 1200)
    return {"key": key, "first_partial_hz": round(hz, 6), "b": b, "partials": partials, "measured_at": at}


def piano_inputs():
    dozen = [piano_reading(key, cents=(key - 49) * 0.3, b=1e-4 * 1.07 ** abs(key - 28))
             for key in (1, 9, 17, 25, 33, 41, 49, 57, 65, 73, 81, 88)]
    valid = json.dumps(piano_file(dozen), indent=1).encode()
    seeds = {
        "dozen-keys": valid,
        "average-grand-no-readings": json.dumps(piano_file([], source="average_grand")).encode(),
        "repeated-key-442": json.dumps(piano_file([piano_reading(49, 1.0), piano_reading(49, -1.0, b=0.0)],
                                                  reference=442.0)).encode(),
        "newer-version": json.dumps(piano_file(dozen, version=2)).encode(),
        "cut-short": valid[:1000],
        "not-json": b"qrv" + bytes(488),
        "nested": b"[" * 64 + b"]" * 64,
    }
    for name, data in seeds.items():
        write("corpus", "piano", name, data)


if __name__ == "__main__":
    capture_inputs()
    precise_inputs()
    soundfile_inputs()
    temperament_inputs()
    number_inputs()
    scala_inputs()
    tracker_inputs()
    piano_inputs()
