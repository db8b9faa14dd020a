#include "ui/WorkingFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ui {

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The one way a file is made. O_EXCL never opens what already stands at the name, a link
// included, so nothing is written through a link planted there.
int CreateNew(const QByteArray& path, mode_t mode)
{
    return ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Puts `temp` in place under `name` unless something stands there (EEXIST); 0 when done.
int PlaceNew(const QByteArray& temp, const QByteArray& name)
{
    if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that rename: a hard link is never made over a name either.
    if (::link(temp.constData(), name.constData()) != 0)
        return errno;
    ::unlink(temp.constData());
    return 0;
}

} // namespace

QString PrepareWorkingFolder(const FixedPaths& paths)
{
    const QString root = paths.root();
    const QByteArray name = QFile::encodeName(root);
    QDir().mkpath(QFileInfo(root).absolutePath());
    struct stat info = {};
    if ((::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) ||
        ::lstat(name.constData(), &info) != 0)
        return QStringLiteral("The working folder \"%1\" cannot be made: %2")
            .arg(Native(root), qt_error_string(errno));
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("\"%1\" stands where the working folder should be and is not a "
                              "folder. Remove it and start the program again.")
            .arg(Native(root));
    if (info.st_uid != ::geteuid())
        return QStringLiteral("The working folder \"%1\" belongs to another user, so the program "
                              "does not use it. Have it removed and start the program again.")
            .arg(Native(root));
    if ((info.st_mode & 077) != 0)
        return QStringLiteral("The working folder \"%1\" is open to other users, so the program "
                              "does not use it. Make it yours alone (chmod 700) and start the "
                              "program again.")
            .arg(Native(root));
    const QByteArray temp = QFile::encodeName(paths.tempFolder());
    if (::mkdir(temp.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("The folder \"%1\" cannot be made: %2")
            .arg(Native(paths.tempFolder()), qt_error_string(errno));
    return {};
}

std::unique_ptr<QLockFile> TakeWorkingFiles(const FixedPaths& paths, Dialogs& dialogs)
{
    QString problem = PrepareWorkingFolder(paths);
    if (problem.isEmpty()) {
        auto lock = std::make_unique<QLockFile>(paths.lockFile());
        // A running instance holds the lock however long it runs; the lock of one that died is
        // taken over because its process is gone.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0))
            return lock;
        problem = lock->error() == QLockFile::LockFailedError
                      ? QStringLiteral("Tellarix 582 is already running for this user. Only one "
                                       "copy at a time can use the meter and the working files; "
                                       "use the window that is open.")
                      : QStringLiteral("The lock file \"%1\" cannot be made.")
                            .arg(Native(paths.lockFile()));
    }
    dialogs.message(problem, MsgButtons::Ok, MsgIcon::Critical);
    return nullptr;
}

bool OpenFresh(QFile& file, const QString& path, QIODevice::OpenMode extra, QString& error)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    if (::unlink(name.constData()) == 0 || errno == ENOENT)
        fd = CreateNew(name, 0600);
    if (fd < 0) {
        error = qt_error_string(errno);
        return false;
    }
    file.setFileName(path);
    if (!file.open(fd, QIODevice::WriteOnly | extra, QFileDevice::AutoCloseHandle)) {
        error = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

FileIdentity IdentifyFile(const QString& path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {errno == ENOENT ? FileIdentity::Kind::Absent : FileIdentity::Kind::Other};
    if (S_ISLNK(info.st_mode))
        return {FileIdentity::Kind::Link};
    if (!S_ISREG(info.st_mode))
        return {FileIdentity::Kind::Other};
    return {FileIdentity::Kind::Regular, static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino)};
}

SaveOutcome SaveWhole(const QString& path, const QByteArray& bytes,
                      const std::optional<FileIdentity>& expected, QString& error)
{
    using Kind = FileIdentity::Kind;
    if (expected && expected->kind != Kind::Absent && expected->kind != Kind::Regular) {
        error = QStringLiteral("it is not a regular file");
        return SaveOutcome::Failed;
    }
    const QByteArray name = QFile::encodeName(path);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = name + '.' +
               QByteArray::number(QRandomGenerator::global()->bounded(1 << 30), 36)
                   .rightJustified(6, '0')
                   .right(6);
        fd = CreateNew(temp, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error = qt_error_string(errno);
        return SaveOutcome::Failed;
    }
    const auto give = [&](SaveOutcome outcome, int code) {
        ::unlink(temp.constData());
        error = code != 0 ? qt_error_string(code) : QString();
        return outcome;
    };
    struct stat old = {};
    // The saved file keeps the permissions of the file it replaces.
    const bool replaces = ::lstat(name.constData(), &old) == 0 && S_ISREG(old.st_mode);
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0 ||
        (replaces && ::fchmod(fd, old.st_mode & 07777) != 0)) {
        const int code = errno;
        ::close(fd);
        return give(SaveOutcome::Failed, code);
    }
    if (::close(fd) != 0)
        return give(SaveOutcome::Failed, errno);
    if (expected && expected->kind == Kind::Absent) {
        const int code = PlaceNew(temp, name);
        if (code == EEXIST)
            return give(SaveOutcome::NameChanged, 0);
        return code == 0 ? SaveOutcome::Saved : give(SaveOutcome::Failed, code);
    }
    // The rename replaces whatever the name holds at that moment and never writes through it.
    if (expected && IdentifyFile(path) != *expected)
        return give(SaveOutcome::NameChanged, 0);
    if (::rename(temp.constData(), name.constData()) != 0)
        return give(SaveOutcome::Failed, errno);
    return SaveOutcome::Saved;
}

} // namespace ui
