#include "standard/SoundRegion.h"

#include "standard/SampleMagnitude.h"
#include "wave/CaptureFile.h"
#include "wave/WaveHeader.h"

namespace tonarel {
namespace {

constexpr uint32_t kSamplesPerBlock = kScanBlockBytes / 2;

// The index of the first sample whose magnitude is `magnitude`; the block is
// known to hold one.
uint32_t FirstSampleWithMagnitude(std::span<const int16_t> block, int32_t magnitude)
{
    uint32_t k = 0;
    while (Magnitude(block[k]) != magnitude) {
        ++k;
    }
    return k;
}

// The search for the end of the note against one threshold.
class RegionSearch {
public:
    explicit RegionSearch(uint32_t threshold) : threshold_(threshold) {}

    // Block j has been taken into `peakPos`; `quotient` is the running peak
    // (including the block) over the block's own peak.
    void TakeBlock(int32_t j, uint32_t quotient, int32_t peakPos)
    {
        if (!searching_) {
            return;
        }
        // Quiet: the block has stayed at or below peak / threshold.
        if (quotient >= threshold_) {
            ++quietRun_;
            if (quietRun_ == 1) {
                end_ = j * static_cast<int32_t>(kScanBlockBytes);
            } else if (quietRun_ * kScanBlockBytes > kQuietRunBytes) {
                searching_ = false;
                begin_ = peakPos;
            }
        } else {
            quietRun_ = 0;
        }
    }

    SoundRegion Finish(SoundRegion region) const
    {
        region.begin = begin_;
        region.end = end_;
        // No quiet run after block 0: the region runs from the loudest sample
        // to the last scanned block.
        if (region.end == 0 && region.peakPos != 0) {
            region.end = (static_cast<int32_t>(region.blocksScanned) - 1) * static_cast<int32_t>(kScanBlockBytes);
            region.begin = region.peakPos;
        }
        return region;
    }

private:
    uint32_t threshold_;
    uint32_t quietRun_ = 0;
    bool searching_ = true;
    int32_t begin_ = 0;
    int32_t end_ = 0;
};

}  // namespace

std::optional<std::vector<SoundRegion>> FindSoundRegions(CaptureFile& take, std::span<const uint32_t> thresholds)
{
    if (take.Header().BitsPerSample != 16 || !take.SeekToFileOffset(kWaveHeaderBytes)) {
        return std::nullopt;
    }
    std::vector<RegionSearch> searches(thresholds.begin(), thresholds.end());

    // The last full block and any partial block stay unscanned.
    const int32_t blocks = static_cast<int32_t>(take.DataBytesPresent() / kScanBlockBytes) - 1;
    SoundRegion scanned;
    for (int32_t j = 0; j < blocks; ++j) {
        const std::span<const int16_t> block = take.ViewSamples(kSamplesPerBlock);
        if (block.size() != kSamplesPerBlock) {
            break;  // the file shrank since it was opened: what is left reads like a shorter recording
        }
        ++scanned.blocksScanned;

        // The running peak rises to the block's peak exactly when that is
        // higher, and it is then first reached at the block's first sample of
        // that magnitude.
        const int32_t blockPeak = PeakMagnitude(block.data(), block.size(), 1);
        if (static_cast<uint32_t>(blockPeak) > scanned.peak) {
            scanned.peak = static_cast<uint32_t>(blockPeak);
            scanned.peakPos = j * static_cast<int32_t>(kScanBlockBytes) +
                              2 * static_cast<int32_t>(FirstSampleWithMagnitude(block, blockPeak));
        }
        const uint32_t quotient = scanned.peak / static_cast<uint32_t>(blockPeak);
        for (RegionSearch& search : searches) {
            search.TakeBlock(j, quotient, scanned.peakPos);
        }
    }

    std::vector<SoundRegion> regions;
    regions.reserve(searches.size());
    for (const RegionSearch& search : searches) {
        regions.push_back(search.Finish(scanned));
    }
    return regions;
}

std::optional<SoundRegion> FindSoundRegion(CaptureFile& take, uint32_t threshold)
{
    const std::optional<std::vector<SoundRegion>> regions = FindSoundRegions(take, {&threshold, 1});
    if (!regions) {
        return std::nullopt;
    }
    return regions->front();
}

std::optional<std::vector<SoundRegion>> FindSoundRegions(const std::filesystem::path& fileName,
                                                         std::span<const uint32_t> thresholds)
{
    std::optional<CaptureFile> take = CaptureFile::Open(fileName);
    if (!take) {
        return std::nullopt;
    }
    return FindSoundRegions(*take, thresholds);
}

std::optional<SoundRegion> FindSoundRegion(const std::filesystem::path& fileName, uint32_t threshold)
{
    std::optional<CaptureFile> take = CaptureFile::Open(fileName);
    if (!take) {
        return std::nullopt;
    }
    return FindSoundRegion(*take, threshold);
}

}  // namespace tonarel
