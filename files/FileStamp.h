#pragma once

#include <QtGlobal>
#include <cstdint>

class QFile;

namespace files {

// What a file was when it was read: the same file rewritten since, or another file put at its
// name, has another stamp.
struct FileStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds since the epoch

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the open file `file`, taken from its handle.
FileStamp StampOf(const QFile& file);

} // namespace files
