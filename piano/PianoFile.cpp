#include "piano/PianoFile.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "common/RegularFile.h"
#include "common/FileErrorText.h"
#include "common/RegularFile.h"
#include "common/AtomicFileWrite.h"

namespace tonarel::piano {
namespace {

using Json = nlohmann::json;

// The file's deepest nesting: the top object, the curve, its keys, one key.
constexpr int kDeepestNesting = 4;

constexpr const char* kMeasuredSource = "measured";
constexpr const char* kAverageGrandSource = "average_grand";

std::optional<double> NumberIn(const Json& object, const char* name, double lowest, double highest)
{
    const auto member = object.find(name);
    if (member == object.end() || !member->is_number()) {
        return std::nullopt;
    }
    const double value = member->get<double>();
    if (!std::isfinite(value) || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::optional<int64_t> IntegerIn(const Json& object, const char* name, int64_t lowest, int64_t highest)
{
    const auto member = object.find(name);
    if (member == object.end()) {
        return std::nullopt;
    }
    if (member->is_number_unsigned()) {
        const uint64_t value = member->get<uint64_t>();
        if (value > static_cast<uint64_t>(highest)) {
            return std::nullopt;
        }
        return lowest <= static_cast<int64_t>(value) ? std::optional<int64_t>(static_cast<int64_t>(value))
                                                      : std::nullopt;
    }
    if (!member->is_number_integer()) {
        return std::nullopt;
    }
    const int64_t value = member->get<int64_t>();
    return value >= lowest && value <= highest ? std::optional<int64_t>(value) : std::nullopt;
}

bool ReadReadings(const Json& readings, PianoMeasurements& measurements)
{
    if (!readings.is_array()) {
        return false;
    }
    for (const Json& entry : readings) {
        if (!entry.is_object()) {
            return false;
        }
        const auto key = IntegerIn(entry, "key", kFirstKey, kLastKey);
        const auto hz = NumberIn(entry, "first_partial_hz", 0.0, kHighestFirstPartialHz);
        const auto b = NumberIn(entry, "b", 0.0, kHighestInharmonicity);
        const auto partials = IntegerIn(entry, "partials", 0, kMostPartials);
        const auto measuredAt = IntegerIn(entry, "measured_at", 0, INT64_MAX);
        if (!key || !hz || !b || !partials || !measuredAt) {
            return false;
        }
        const int keyNumber = static_cast<int>(*key);
        const KeyReading reading{*hz, *b, static_cast<uint32_t>(*partials), *measuredAt};
        if (measurements.Readings(keyNumber).size() >= kMostReadingsPerKey || !measurements.Add(keyNumber, reading)) {
            return false;
        }
    }
    return true;
}

bool ReadCurve(const Json& curveObject, StretchCurve& curve)
{
    if (!curveObject.is_object()) {
        return false;
    }
    const auto source = curveObject.find("source");
    if (source == curveObject.end() || !source->is_string()) {
        return false;
    }
    if (*source == kMeasuredSource) {
        curve.source = InharmonicitySource::kMeasured;
    } else if (*source == kAverageGrandSource) {
        curve.source = InharmonicitySource::kAverageGrand;
    } else {
        return false;
    }
    const auto keys = curveObject.find("keys");
    if (keys == curveObject.end() || !keys->is_array() || keys->size() != kKeyCount) {
        return false;
    }
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        const Json& entry = (*keys)[IndexOfKey(key)];
        if (!entry.is_object()) {
            return false;
        }
        const auto number = IntegerIn(entry, "key", key, key);
        const auto b = NumberIn(entry, "b", 0.0, kHighestInharmonicity);
        const auto cents = NumberIn(entry, "target_cents", -kLargestTargetCents, kLargestTargetCents);
        if (!number || !b || !cents) {
            return false;
        }
        curve.b[IndexOfKey(key)] = *b;
        curve.targetCents[IndexOfKey(key)] = *cents;
    }
    return true;
}

}  // namespace

std::string EncodePianoFile(const PianoFileContents& contents)
{
    // Members in the order written here, for a person reading the file.
    using OrderedJson = nlohmann::ordered_json;
    OrderedJson readings = OrderedJson::array();
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        for (const KeyReading& reading : contents.measurements.Readings(key)) {
            readings.push_back({{"key", key},
                                {"first_partial_hz", reading.firstPartialHz},
                                {"b", reading.b},
                                {"partials", reading.partialCount},
                                {"measured_at", reading.measuredAt}});
        }
    }
    OrderedJson keys = OrderedJson::array();
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        keys.push_back({{"key", key}, {"b", contents.curve.b[IndexOfKey(key)]},
                        {"target_cents", contents.curve.TargetCents(key)}});
    }
    const bool measured = contents.curve.source == InharmonicitySource::kMeasured;
    OrderedJson file = OrderedJson::object();
    file["format"] = kPianoFileFormat;
    file["version"] = kPianoFileVersion;
    file["reference_hz"] = contents.referenceHz;
    file["readings"] = std::move(readings);
    file["curve"] = {{"source", measured ? kMeasuredSource : kAverageGrandSource}, {"keys", std::move(keys)}};
    return file.dump(1) + "\n";
}

std::optional<PianoFileContents> DecodePianoFile(std::string_view text, const char** refusal)
{
    const auto refuse = [refusal](const char* message) -> std::optional<PianoFileContents> {
        if (refusal != nullptr) {
            *refusal = message;
        }
        return std::nullopt;
    };
    if (text.size() > kLargestPianoFileBytes) {
        return refuse(kNotPianoFileMessage);
    }
    // Anything nested deeper than the format is dropped as it is parsed, so a
    // hostile file of a million brackets costs no memory and no recursion.
    bool tooDeep = false;
    const Json::parser_callback_t limitDepth = [&tooDeep](int depth, Json::parse_event_t, Json&) {
        if (depth > kDeepestNesting) {
            tooDeep = true;
            return false;
        }
        return true;
    };
    const Json file = Json::parse(text.begin(), text.end(), limitDepth, /*allow_exceptions=*/false);
    if (tooDeep || file.is_discarded() || !file.is_object()) {
        return refuse(kNotPianoFileMessage);
    }
    const auto format = file.find("format");
    if (format == file.end() || *format != kPianoFileFormat) {
        return refuse(kNotPianoFileMessage);
    }
    const auto version = file.find("version");
    if (version == file.end() || !version->is_number_integer()) {
        return refuse(kNotPianoFileMessage);
    }
    if (version->is_number_unsigned() ? version->get<uint64_t>() > kPianoFileVersion
                                      : version->get<int64_t>() > kPianoFileVersion) {
        return refuse(kNewerPianoFileMessage);
    }
    if (version->get<int64_t>() != kPianoFileVersion) {
        return refuse(kNotPianoFileMessage);
    }
    PianoFileContents contents;
    const std::optional<double> reference = NumberIn(file, "reference_hz", kLowestReferenceHz, kHighestReferenceHz);
    const auto readings = file.find("readings");
    const auto curve = file.find("curve");
    if (!reference || readings == file.end() || curve == file.end() ||
        !ReadReadings(*readings, contents.measurements) || !ReadCurve(*curve, contents.curve)) {
        return refuse(kNotPianoFileMessage);
    }
    contents.referenceHz = *reference;
    return contents;
}

std::optional<PianoFileContents> ReadPianoFile(const std::filesystem::path& path, const char** refusal)
{
    ReadOpenFailure failure;
    const OwnedFile file = OpenRegularFileForReading(path, &failure);
    if (!file) {
        if (refusal != nullptr) {
            *refusal = failure.error == ReadOpenError::kNotRegularFile ? kNotRegularFileMessage
                                                                       : kUnreadablePianoFileMessage;
        }
        return std::nullopt;
    }
    // One byte past the limit tells a file too large from one just at it.
    std::string text(kLargestPianoFileBytes + 1, '\0');
    const std::size_t read = std::fread(text.data(), 1, text.size(), file.get());
    if (std::ferror(file.get()) != 0) {
        if (refusal != nullptr) {
            *refusal = kUnreadablePianoFileMessage;
        }
        return std::nullopt;
    }
    text.resize(read);
    return DecodePianoFile(text, refusal);
}

std::optional<SaveFailure> WritePianoFile(const std::filesystem::path& path, const PianoFileContents& contents)
{
    return SaveTextAtomically(path, EncodePianoFile(contents));
}

}  // namespace tonarel::piano
