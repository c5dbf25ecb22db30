#include "precise/SoundFilePitch.h"

#include <cstring>
#include <optional>

#include "wave/CaptureFile.h"
#include "wave/SoundFileReader.h"

namespace tonarel {

bool HasCaptureHeader(const std::filesystem::path& fileName)
{
    const std::optional<CaptureFile> file = CaptureFile::Open(fileName);
    if (!file) {
        return false;
    }
    return DescribesPlainCapture(file->Header());
}

bool DescribesPlainCapture(const WaveHeader& header)
{
    const auto tag = [](const char (&field)[4], const char* text) { return std::memcmp(field, text, 4) == 0; };
    return tag(header.ChunkId, "RIFF") && tag(header.FormType, "WAVE") && tag(header.FormatId, "fmt ") &&
           header.FormatSize == 16 && header.AudioFormat == 1 && header.Channels == kCaptureChannels &&
           header.SampleRate == kCaptureSampleRate && header.BitsPerSample == kCaptureBitsPerSample &&
           tag(header.DataId, "data");
}

PreciseReading EstimateSoundFilePitch(const std::filesystem::path& fileName)
{
    if (!HasCaptureHeader(fileName)) {
        if (std::optional<SoundFileReader> reader = SoundFileReader::Open(fileName)) {
            const std::vector<int16_t> samples = ReadSoundFileMono(*reader);
            return EstimatePrecisePitch(samples, reader->Format().sampleRate);
        }
    }
    return EstimatePrecisePitch(fileName);
}

}  // namespace tonarel
