#include "shell/TakeFolder.h"

#include <QStandardPaths>
#include <QString>
#include <system_error>

#include "forms/UserMessage.h"
#include "wave/TakeFiles.h"
#include "wave/TakeOnDisk.h"

namespace tonarel {

std::filesystem::path OwnTakeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation).toStdString();
}

void UseOwnTakeFolder()
{
    const std::filesystem::path folder = OwnTakeFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        ShowErrorBox(QStringLiteral("无法创建录音文件夹“%1”：%2。")
                         .arg(QString::fromStdString(folder.string()), QString::fromStdString(error.message())));
    }
    // Takes that a crashed or killed run left half written go now.
    RemoveAbandonedTakes(folder);
    SetApplicationTakeFolder(folder);
}

}  // namespace tonarel
