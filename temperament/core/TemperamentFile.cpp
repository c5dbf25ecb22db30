#include "temperament/core/TemperamentFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>

#include "common/AtomicFileWrite.h"
#include "common/FileErrorText.h"
#include "common/RegularFile.h"

namespace tonarel {
namespace {

constexpr std::size_t kTrebleCountOffset = 3;
constexpr std::size_t kBassCursorOffset = 7;
constexpr std::size_t kMeasuredOffset = 11;
static_assert(kMeasuredOffset + 4 * kTemperamentSlots == kTemperamentFileBytes);

void PutUint32(uint8_t* out, uint32_t value)
{
    for (int byte = 0; byte < 4; ++byte) {
        out[byte] = static_cast<uint8_t>(value >> (8 * byte));
    }
}

uint32_t GetUint32(const uint8_t* in)
{
    uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte) {
        value = (value << 8) | in[byte];
    }
    return value;
}

}  // namespace

TemperamentFileContents ContentsOf(const TemperamentTable& table)
{
    return {table.TrebleCount(), table.BassCursor(), table.MeasuredTable()};
}

TemperamentFileBytes EncodeTemperamentFile(const TemperamentFileContents& contents)
{
    TemperamentFileBytes bytes{};
    std::copy(kTemperamentFileMagic.begin(), kTemperamentFileMagic.end(), bytes.begin());
    PutUint32(&bytes[kTrebleCountOffset], static_cast<uint32_t>(contents.trebleCount));
    PutUint32(&bytes[kBassCursorOffset], static_cast<uint32_t>(contents.bassCursor));
    for (std::size_t slot = 0; slot < kTemperamentSlots; ++slot) {
        PutUint32(&bytes[kMeasuredOffset + 4 * slot], std::bit_cast<uint32_t>(contents.measured[slot]));
    }
    return bytes;
}

std::optional<TemperamentFileContents> DecodeTemperamentFile(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kTemperamentFileBytes ||
        !std::equal(kTemperamentFileMagic.begin(), kTemperamentFileMagic.end(), bytes.begin())) {
        return std::nullopt;
    }
    TemperamentFileContents contents;
    contents.trebleCount = static_cast<int32_t>(GetUint32(&bytes[kTrebleCountOffset]));
    contents.bassCursor = static_cast<int32_t>(GetUint32(&bytes[kBassCursorOffset]));
    if (contents.trebleCount < 0 || contents.trebleCount > kDirectionCapacity ||
        contents.bassCursor < kFirstBassSlot || contents.bassCursor > kFirstBassSlot + kDirectionCapacity) {
        return std::nullopt;
    }
    for (std::size_t slot = 0; slot < kTemperamentSlots; ++slot) {
        contents.measured[slot] = std::bit_cast<float>(GetUint32(&bytes[kMeasuredOffset + 4 * slot]));
    }
    return contents;
}

std::optional<TemperamentFileContents> ReadTemperamentFile(const std::filesystem::path& path, const char** refusal)
{
    const auto refuse = [refusal](const char* message) -> std::optional<TemperamentFileContents> {
        if (refusal != nullptr) {
            *refusal = message;
        }
        return std::nullopt;
    };
    ReadOpenFailure failure;
    const OwnedFile file = OpenRegularFileForReading(path, &failure);
    if (!file) {
        return refuse(failure.error == ReadOpenError::kNotRegularFile ? kNotRegularFileMessage
                                                                      : kNotTemperamentFileMessage);
    }
    TemperamentFileBytes bytes{};
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return refuse(kNotTemperamentFileMessage);
    }
    std::optional<TemperamentFileContents> contents = DecodeTemperamentFile(bytes);
    if (!contents) {
        return refuse(kNotTemperamentFileMessage);
    }
    return contents;
}

std::optional<SaveFailure> WriteTemperamentFile(const std::filesystem::path& path,
                                                const TemperamentFileContents& contents)
{
    const TemperamentFileBytes bytes = EncodeTemperamentFile(contents);
    const int error = WriteFileAtomically(path, bytes);
    if (error == 0) {
        return std::nullopt;
    }
    return SaveFailure{error, DescribeFileError(error)};
}

}  // namespace tonarel
