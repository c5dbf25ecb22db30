// tonarel-make-tones: writes synthetic notes with known partials, for
// tonarel-accuracy:
//
//   tonarel-make-tones FOLDER [COUNT] [SEED]
//
// Writes FOLDER/wav/*.wav (capture format) and FOLDER/manifest.tsv. Each note
// draws its first partial from 27.5 Hz to 4186 Hz (even on a log scale), a
// kind (harmonic with partials falling irregularly, weak or missing first
// partial, odd partials only, stiff string with an inharmonicity for its
// register, vibrato of 5 to 20 cents), a decay, a lead-in of room noise from
// 0 to 1 s (so some notes start at sample 0), and noise 45 to 65 dB under the
// note; some takes stop while the note still sounds. measured_hz is the
// exact first partial, f0 sqrt(1 + B).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "tools/tones/PartialTone.h"
#include "tools/tones/WaveFileWriter.h"

namespace {

using namespace tonarel::tones;

const char* const kKinds[] = {"harmonic", "weak_first", "missing_first", "odd_only", "stiff_string", "vibrato"};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        std::fputs("用法：tonarel-make-tones FOLDER [COUNT] [SEED]\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 60;
    std::mt19937 random(argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 12345u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::error_code error;
    std::filesystem::create_directories(folder / "wav", error);
    std::ofstream manifest(folder / "manifest.tsv");
    if (error || !manifest) {
        std::fprintf(stderr, "tonarel-make-tones: 无法写入 \"%s\"\n", folder.c_str());
        return 1;
    }
    manifest << "file\tinstrument\tmeasured_hz\treliability\tinharm_B\n";

    for (int n = 0; n < count; ++n) {
        const std::string kind = kKinds[n % std::size(kKinds)];
        PartialTone tone;
        tone.f0Hz = 27.5 * std::pow(4186.0 / 27.5, unit(random));
        const auto partials = static_cast<uint32_t>(std::clamp(8000.0 / tone.f0Hz, 1.0, 30.0));
        tone.amplitudes.clear();
        for (uint32_t k = 1; k <= partials; ++k) {
            // Falling on average, irregular from partial to partial.
            tone.amplitudes.push_back(9000.0 / std::pow(k, 0.6 + unit(random)) * (0.3 + 0.7 * unit(random)));
        }
        if (kind == "weak_first") {
            tone.amplitudes[0] *= 0.03;  // about 30 dB down
        } else if (kind == "missing_first" && partials >= 4) {
            tone.amplitudes[0] = 0.0;
        } else if (kind == "odd_only") {
            for (std::size_t k = 1; k < tone.amplitudes.size(); k += 2) tone.amplitudes[k] = 0.0;
        } else if (kind == "stiff_string") {
            // A piano's inharmonicity grows towards the treble: about 1e-4
            // in the bass to 1e-3 and more at the top.
            tone.inharmonicity = 5e-5 * std::pow(tone.f0Hz / 27.5, 0.6) * (0.5 + unit(random));
        } else if (kind == "vibrato") {
            tone.vibratoCents = 5.0 + 15.0 * unit(random);
            tone.vibratoHz = 4.5 + 2.0 * unit(random);
        }
        tone.decaySeconds = unit(random) < 0.3 ? 0.0 : 0.5 + 3.0 * unit(random);
        const auto lead = static_cast<uint32_t>(unit(random) < 0.2 ? 0 : unit(random) * kToneSampleRate);
        const auto length = static_cast<uint32_t>((1.0 + 2.5 * unit(random)) * kToneSampleRate);
        const bool cutOff = unit(random) < 0.3;
        const uint32_t tail = cutOff ? 0 : kToneSampleRate / 2;
        const auto noise = static_cast<int16_t>(9000.0 * std::pow(10.0, -(45.0 + 20.0 * unit(random)) / 20.0) + 1);
        std::vector<int16_t> take = Concatenate(
            {Noise(lead, noise, 2 * n + 1), Mix(Synthesise(tone, length), Noise(length, noise, 2 * n + 2)),
             Noise(tail, noise, 2 * n + 3)});
        char name[96];
        std::snprintf(name, sizeof name, "%03d_%s_%.1fHz.wav", n, kind.c_str(), tone.f0Hz);
        WriteCaptureFile(folder / "wav" / name, take);
        char line[256];
        std::snprintf(line, sizeof line, "%s\t%s\t%.6f\tgood\t%.3g\n", name, kind.c_str(), tone.FirstPartialHz(),
                      tone.inharmonicity);
        manifest << line;
    }
    return manifest ? 0 : 1;
}
