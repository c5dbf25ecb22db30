#pragma once
// The manifest of a folder of recordings with a known pitch: a tab-separated
// table whose first line names the columns. The accuracy tool needs `file`,
// `measured_hz` and `reliability`; `instrument` groups the notes when present.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tonarel::accuracy {

/// One note of the manifest.
struct ManifestNote {
    std::string file;                  ///< relative to the manifest's folder (or its wav/ subfolder)
    std::optional<double> measuredHz;  ///< none for "NA": a file without a pitch (silence, noise)
    std::string reliability;           ///< "good", "caution", "unreliable", or empty
    std::string instrument;            ///< empty when the manifest has no such column
};

/// Reads `manifestFile`. An error message (Chinese, one line) when the file
/// cannot be read, lacks one of the needed columns, or has a line with fewer
/// fields than the header or a measured_hz that is neither a positive number
/// nor "NA".
std::variant<std::vector<ManifestNote>, std::string> ReadManifest(const std::filesystem::path& manifestFile);

}  // namespace tonarel::accuracy
