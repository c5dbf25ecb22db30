#pragma once
// The two files of a take, named here once for every part of the program that
// writes, reads or deletes them, and the folder they live in.

#include <filesystem>

namespace tonarel {

/// The finished take: saved when a recording stops, read by every analysis,
/// deleted at every new recording and when the program ends.
inline constexpr const char* kTakeFileName = "my.wav";

/// The take's template, an empty capture file written before every recording: its 44-byte
/// header gives the capture its format.
inline constexpr const char* kTakeTemplateFileName = "temp.wav";

/// Where a take goes: the template written before every recording and the
/// file the take is saved to.
struct TakeFiles {
    std::filesystem::path recordingTemplate;
    std::filesystem::path take;
};

/// The take's two files in `folder`; an empty folder gives the bare names,
/// which name files in the working directory.
TakeFiles TakeFilesIn(const std::filesystem::path& folder);

/// The folder of the program's takes, a folder of its own so that the user's
/// files of the same names are never touched. Start-up sets it once, before
/// the windows are made; until then it is empty (the working directory).
void SetApplicationTakeFolder(std::filesystem::path folder);
const std::filesystem::path& ApplicationTakeFolder();

/// TakeFilesIn(ApplicationTakeFolder()).
TakeFiles ApplicationTakeFiles();

}  // namespace tonarel
