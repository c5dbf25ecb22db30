#pragma once
// Opening a file for reading that must be an ordinary file on the disk.
//
// A named pipe (FIFO) blocks a plain open until some writer appears, and a
// device or socket is no take and no temperament file either: readers of
// the program's files refuse all of these before they read, and without ever
// waiting on them.

#include <cstdio>
#include <filesystem>
#include <memory>

namespace tonarel {

/// The message for a name chosen for loading that is not a regular file (a
/// named pipe, a device, a socket), refused before anything is read. UTF-8.
inline constexpr const char* kNotRegularFileMessage = "此文件不是普通文件（而是管道或设备等），无法打开!";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
/// An open stream, closed when the owner lets it go.
using OwnedFile = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadOpenError {
    kCannotOpen,      ///< missing, unreadable or a directory (EISDIR); systemError says why
    kNotRegularFile,  ///< a FIFO, a device or a socket
};
struct ReadOpenFailure {
    ReadOpenError error = ReadOpenError::kCannotOpen;
    int systemError = 0;  ///< an errno value for kCannotOpen, else 0
};

/// Opens `path` for binary reading, at offset 0, if it names a regular file (a symbolic link is
/// followed). Anything else is refused without blocking: the file is opened
/// non-blocking and its type checked on the open descriptor, so a file
/// swapped in between cannot slip through. Returns null, and fills `failure`
/// when given, on refusal; an empty path counts as missing.
OwnedFile OpenRegularFileForReading(const std::filesystem::path& path, ReadOpenFailure* failure = nullptr);

}  // namespace tonarel
