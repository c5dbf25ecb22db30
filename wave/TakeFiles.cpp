#include "wave/TakeFiles.h"

#include <utility>

namespace tonarel {
namespace {

std::filesystem::path& TakeFolder()
{
    static std::filesystem::path folder;
    return folder;
}

}  // namespace

TakeFiles TakeFilesIn(const std::filesystem::path& folder)
{
    return {folder / kTakeTemplateFileName, folder / kTakeFileName};
}

void SetApplicationTakeFolder(std::filesystem::path folder)
{
    TakeFolder() = std::move(folder);
}

const std::filesystem::path& ApplicationTakeFolder()
{
    return TakeFolder();
}

TakeFiles ApplicationTakeFiles()
{
    return TakeFilesIn(ApplicationTakeFolder());
}

}  // namespace tonarel
