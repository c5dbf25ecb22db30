#include "tools/accuracy/Manifest.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tonarel::accuracy {
namespace {

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream stream(line);
    while (std::getline(stream, field, '\t')) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == '\t') {
        fields.emplace_back();
    }
    return fields;
}

}  // namespace

std::variant<std::vector<ManifestNote>, std::string> ReadManifest(const std::filesystem::path& manifestFile)
{
    std::ifstream stream(manifestFile);
    if (!stream) {
        return "无法读取清单文件 \"" + manifestFile.string() + "\"";
    }
    std::string line;
    if (!std::getline(stream, line)) {
        return "清单文件 \"" + manifestFile.string() + "\" 是空的";
    }
    const std::vector<std::string> header = SplitTabs(line);
    std::map<std::string, std::size_t> column;
    for (std::size_t k = 0; k < header.size(); ++k) {
        column[header[k]] = k;
    }
    for (const char* needed : {"file", "measured_hz", "reliability"}) {
        if (!column.contains(needed)) {
            return std::string("清单文件缺少列 \"") + needed + "\"";
        }
    }

    std::vector<ManifestNote> notes;
    for (int lineNumber = 2; std::getline(stream, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() < header.size()) {
            return "清单文件第 " + std::to_string(lineNumber) + " 行的字段不足";
        }
        ManifestNote note;
        note.file = fields[column["file"]];
        note.reliability = fields[column["reliability"]];
        if (column.contains("instrument")) {
            note.instrument = fields[column["instrument"]];
        }
        const std::string& measured = fields[column["measured_hz"]];
        if (measured != "NA") {
            char* end = nullptr;
            const double hz = std::strtod(measured.c_str(), &end);
            if (measured.empty() || *end != '\0' || !(hz > 0.0)) {
                return "清单文件第 " + std::to_string(lineNumber) + " 行的 measured_hz 不是正数：\"" + measured + "\"";
            }
            note.measuredHz = hz;
        }
        notes.push_back(note);
    }
    return notes;
}

}  // namespace tonarel::accuracy
