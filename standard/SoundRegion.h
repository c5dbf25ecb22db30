#pragma once
// The sound-region scan: where in a take the note peaks and where it has
// decayed. The standard reading's first step; exposed for tests and tools.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tonarel {

class CaptureFile;

/// The scan reads the data in blocks of 1024 bytes (512 samples); block j
/// covers data offsets 1024 j to 1024 j + 1023.
inline constexpr uint32_t kScanBlockBytes = 1024;

/// A quiet run ends the search once it is longer than this many bytes, that
/// is at its ninth block (9216 bytes, about a tenth of a second).
inline constexpr uint32_t kQuietRunBytes = 8810;

/// What one scan found. Positions are data offsets (bytes from the first
/// sample byte), even, signed.
struct SoundRegion {
    uint32_t peak = 1;            ///< the largest magnitude in the scanned blocks, at least 1
    int32_t peakPos = 4;          ///< where `peak` was first reached; 4 when no magnitude exceeded 1
    int32_t begin = 0;            ///< start of the region: the note's attack
    int32_t end = 0;              ///< end of the region: where the note had decayed; may lie before `begin`
    uint32_t blocksScanned = 0;   ///< blocks read: DataSize / 1024 - 1 (none when that is 0 or less)
};

/// Scans `take` from its first data byte, block by block, holding one block
/// at a time, and returns the region in which the note sounds against
/// `threshold` (at least 1 in every use; 0 behaves like 1). The reader's
/// position on return is unspecified.
///
/// Each block's own peak B (at least 1) is compared with the running `peak`
/// that already includes the block: the block is quiet when peak / B (integer
/// division) reaches `threshold`. While searching, the first block of a quiet
/// run sets `end` to its start; the ninth consecutive quiet block stops the
/// search and sets `begin` to `peakPos`; a loud block resets the run. Blocks
/// after the search are still read for `peak`. If `end` is still 0 at the end
/// and `peakPos` is not 0, the region becomes `peakPos` to the start of the
/// last scanned block (with no block scanned: begin 4, end -1024).
///
/// Only the sample bytes present are scanned: DataSize, but no more than the
/// file holds. The last full block and any partial block are never scanned.
/// Returns nothing when the take does not hold 16-bit samples.
std::optional<SoundRegion> FindSoundRegion(CaptureFile& take, uint32_t threshold);

/// FindSoundRegion for several thresholds in one pass over the take: element
/// k of the result is FindSoundRegion(take, thresholds[k]). The estimator
/// needs two thresholds of which the second depends on the first scan's
/// result; scanning once for every threshold it may need spares it a second
/// pass over the whole take.
std::optional<std::vector<SoundRegion>> FindSoundRegions(CaptureFile& take, std::span<const uint32_t> thresholds);

/// The same on the capture file `fileName`, opened once here; nothing also
/// when it cannot be opened or is shorter than its header.
std::optional<SoundRegion> FindSoundRegion(const std::filesystem::path& fileName, uint32_t threshold);
std::optional<std::vector<SoundRegion>> FindSoundRegions(const std::filesystem::path& fileName,
                                                         std::span<const uint32_t> thresholds);

}  // namespace tonarel
