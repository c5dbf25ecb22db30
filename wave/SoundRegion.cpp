#include "wave/SoundRegion.h"

#include <array>

#include "wave/CaptureFile.h"
#include "wave/SampleMagnitude.h"

namespace tonarel {
namespace {

constexpr uint32_t kSamplesPerBlock = kScanBlockBytes / 2;

// The index of the first sample whose magnitude is `magnitude`; the block is
// known to hold one.
uint32_t FirstSampleWithMagnitude(const std::array<int16_t, kSamplesPerBlock>& block, int32_t magnitude)
{
    uint32_t k = 0;
    while (Magnitude(block[k]) != magnitude) {
        ++k;
    }
    return k;
}

}  // namespace

std::optional<SoundRegion> FindSoundRegion(const std::filesystem::path& fileName, uint32_t threshold)
{
    std::optional<CaptureFile> file = CaptureFile::Open(fileName);
    if (!file || file->Header().BitsPerSample != 16) {
        return std::nullopt;
    }
    // The last full block and any partial block stay unscanned.
    const int32_t blocks = static_cast<int32_t>(file->DataBytesPresent() / kScanBlockBytes) - 1;

    SoundRegion region;
    uint32_t quietRun = 0;
    bool searching = true;
    std::array<int16_t, kSamplesPerBlock> block;
    for (int32_t j = 0; j < blocks; ++j) {
        if (file->Read(block.data(), kScanBlockBytes) != kScanBlockBytes) {
            break;  // the file shrank since it was opened: what is left reads like a shorter recording
        }
        ++region.blocksScanned;

        // The running peak rises to the block's peak exactly when that is
        // higher, and it is then first reached at the block's first sample of
        // that magnitude.
        const int32_t blockPeak = PeakMagnitude(block.data(), block.size(), 1);
        if (static_cast<uint32_t>(blockPeak) > region.peak) {
            region.peak = static_cast<uint32_t>(blockPeak);
            region.peakPos = j * static_cast<int32_t>(kScanBlockBytes) +
                             2 * static_cast<int32_t>(FirstSampleWithMagnitude(block, blockPeak));
        }
        if (!searching) {
            continue;
        }
        const uint32_t quotient = region.peak / static_cast<uint32_t>(blockPeak);
        if (quotient >= threshold) {
            ++quietRun;
            if (quietRun == 1) {
                region.end = j * static_cast<int32_t>(kScanBlockBytes);
            } else if (quietRun * kScanBlockBytes > kQuietRunBytes) {
                searching = false;
                region.begin = region.peakPos;
            }
        } else {
            quietRun = 0;
        }
    }

    // No quiet run after block 0: the region runs from the loudest sample to
    // the last scanned block.
    if (region.end == 0 && region.peakPos != 0) {
        region.end = (static_cast<int32_t>(region.blocksScanned) - 1) * static_cast<int32_t>(kScanBlockBytes);
        region.begin = region.peakPos;
    }
    return region;
}

}  // namespace tonarel
