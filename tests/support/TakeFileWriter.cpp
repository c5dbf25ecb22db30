#include "tests/support/TakeFileWriter.h"

#include <algorithm>

#include "common/AtomicFileWrite.h"
#include "common/FileDescriptor.h"
#include "common/FileErrorText.h"
#include "wave/CaptureError.h"
#include "wave/WaveHeader.h"

namespace tonarel::test {

void WriteTakeFile(const std::filesystem::path& file, const CaptureFormat& format, std::span<const std::byte> samples)
{
    const uint32_t frame = std::max<uint32_t>(format.BytesPerFrame(), 1);
    const std::size_t wholeFrames = samples.size() - samples.size() % frame;
    const uint32_t dataBytes = static_cast<uint32_t>(std::min<std::size_t>(wholeFrames, MaxCaptureDataBytes(format)));

    WaveHeader header = MakeWaveHeader(static_cast<int16_t>(format.channels), static_cast<int16_t>(format.bitsPerSample),
                                       static_cast<int32_t>(format.sampleRate));
    header.ChunkSize = kWaveHeaderBytes - 8 + dataBytes;
    header.DataSize = static_cast<int32_t>(dataBytes);

    // Written beside and renamed into place: a reader never sees a part of
    // the take, and a failure leaves no file that would be analysed as if
    // it were the whole take.
    const int error = ReplaceFileAtomically(file, [&](int descriptor) {
        const int headerError = WriteAllBytes(descriptor, std::as_bytes(std::span(&header, 1)));
        return headerError != 0 ? headerError : WriteAllBytes(descriptor, samples.first(dataBytes));
    });
    if (error != 0) {
        throw CaptureError("无法保存录音文件" + QuotedFileName(file) + "。");
    }
}

}  // namespace tonarel::test
