#pragma once
// Why a file could not be written, in the words the windows show.

#include <string>

namespace tonarel {

/// The cause of a failed file operation in a few Chinese words (UTF-8), for
/// the errno `systemError` of the step that failed: "没有写入权限",
/// "该位置只读", "文件夹不存在", "已有同名文件夹", "磁盘空间不足",
/// "文件超出允许的大小", "文件名太长"; any other error reads "写入出错".
std::string DescribeFileError(int systemError);

}  // namespace tonarel
