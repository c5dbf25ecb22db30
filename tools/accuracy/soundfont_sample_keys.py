#!/usr/bin/python3
"""Prints the piano keys (1-88) at which a soundfont's acoustic grand (bank 0,
program 0) plays each of its samples at the sample's own pitch, for
tonarel-piano-accuracy --sample-keys:

    soundfont_sample_keys.py SOUNDFONT

A soundfont plays one sample over a range of keys, resampled; only at the
sample's own key (its zone's overriding root key, else the sample's original
pitch) does the render sound as the recorded piano did. Reads the preset,
instrument and sample headers of an SF2 or SF3 file; needs nothing but Python."""
import struct
import sys


def chunks(data, start, end):
    while start < end:
        name = data[start:start + 4]
        size = struct.unpack('<I', data[start + 4:start + 8])[0]
        yield name, start + 8, size
        start += 8 + size + (size & 1)


def preset_data(data):
    for name, start, size in chunks(data, 12, len(data)):
        if name == b'LIST' and data[start:start + 4] == b'pdta':
            return {sub.decode(): data[at:at + length] for sub, at, length in chunks(data, start + 4, start + size)}
    raise SystemExit('没有找到音色库的预置数据')


def records(table, layout):
    size = struct.calcsize(layout)
    return [struct.unpack(layout, table[at:at + size]) for at in range(0, len(table) - size + 1, size)]


def generators(bags, gens, bag):
    return gens[bags[bag][0]:bags[bag + 1][0]]


KEY_RANGE, INSTRUMENT, SAMPLE, ROOT_KEY = 43, 41, 53, 58


def sample_keys(path):
    pdta = preset_data(open(path, 'rb').read())
    presets = records(pdta['phdr'], '<20sHHHIII')
    preset_bags, preset_gens = records(pdta['pbag'], '<HH'), records(pdta['pgen'], '<HH')
    instruments = records(pdta['inst'], '<20sH')
    instrument_bags, instrument_gens = records(pdta['ibag'], '<HH'), records(pdta['igen'], '<HH')
    samples = records(pdta['shdr'], '<20sIIIIIBbHH')
    grand = next(index for index, preset in enumerate(presets) if preset[1] == 0 and preset[2] == 0)
    used = {amount for bag in range(presets[grand][3], presets[grand + 1][3])
            for op, amount in generators(preset_bags, preset_gens, bag) if op == INSTRUMENT}
    roots = set()
    for instrument in used:
        for bag in range(instruments[instrument][1], instruments[instrument + 1][1]):
            zone = dict(generators(instrument_bags, instrument_gens, bag))
            if SAMPLE not in zone:
                continue
            root = zone.get(ROOT_KEY, 65535)
            roots.add(root if root < 128 else samples[zone[SAMPLE]][6])
    return sorted(root - 20 for root in roots if 21 <= root <= 108)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        raise SystemExit('用法：soundfont_sample_keys.py SOUNDFONT')
    print(' '.join(str(key) for key in sample_keys(sys.argv[1])))
