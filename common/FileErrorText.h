#pragma once
// Why a file could not be written, and how a file's name is quoted, in the
// words the windows show.

#include <filesystem>
#include <string>

namespace tonarel {

/// A save that did not happen.
struct SaveFailure {
    int systemError = 0;  ///< the errno of the step that failed
    std::string reason;   ///< the cause in a few Chinese words, UTF-8, e.g. "没有写入权限"
};

/// The cause of a failed file operation in a few Chinese words (UTF-8), for
/// the errno `systemError` of the step that failed: "没有写入权限",
/// "该位置只读", "文件夹不存在", "已有同名文件夹", "磁盘空间不足",
/// "文件超出允许的大小", "文件名太长"; any other error reads "写入出错".
std::string DescribeFileError(int systemError);

/// A file's or folder's name in Chinese quotation marks, as the messages show
/// it: "“/home/li/my.wav”". The name's bytes stand as they are.
std::string QuotedFileName(const std::filesystem::path& name);

}  // namespace tonarel
