#include "common/FileErrorText.h"

#include <cerrno>

namespace tonarel {

std::string DescribeFileError(int systemError)
{
    switch (systemError) {
    case EACCES:
    case EPERM:
        return "没有写入权限";
    case EROFS:
        return "该位置只读";
    case ENOENT:
    case ENOTDIR:
        return "文件夹不存在";
    case EISDIR:
        return "已有同名文件夹";
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足";
    case EFBIG:
        return "文件超出允许的大小";
    case ENAMETOOLONG:
        return "文件名太长";
    default:
        return "写入出错";
    }
}

std::string QuotedFileName(const std::filesystem::path& name)
{
    return "“" + name.string() + "”";
}

}  // namespace tonarel
