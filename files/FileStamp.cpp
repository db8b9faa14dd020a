#include "files/FileStamp.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace files {

FileStamp StampOf(const QFile& file)
{
#ifdef Q_OS_UNIX
    // From the handle: a file opened by its descriptor has no name to look up.
    struct stat info = {};
    if (::fstat(file.handle(), &info) != 0)
        return {};
#ifdef Q_OS_DARWIN
    const auto nanoseconds = info.st_mtimespec.tv_nsec;
#else
    const auto nanoseconds = info.st_mtim.tv_nsec;
#endif
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtime) * 1000000000 + static_cast<qint64>(nanoseconds)};
#else
    const QFileInfo info(file.fileName());
    return {0, 0, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
#endif
}

} // namespace files
