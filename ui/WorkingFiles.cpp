#include "ui/WorkingFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ui {

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray Encoded(const QString& name)
{
    return QFile::encodeName(name);
}

// Hands each block to the disk as soon as it is written, so that a large save goes to the disk
// while the rest is still being made and the final sync waits only for its end.
class EagerFile : public QFile
{
public:
    // The system's reason for the last write that failed, short writes included.
    QString failure() const
    {
        if (error() != QFileDevice::NoError)
            return errorString();
        return qt_error_string(m_errno != 0 ? m_errno : EIO);
    }

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        const qint64 written = QFile::writeData(data, length);
        // A short write (a full disk) sets no error of the file's; the system's is kept.
        if (written < length)
            m_errno = errno;
        if (written > 0)
            ::sync_file_range(handle(), m_written, written, SYNC_FILE_RANGE_WRITE);
        m_written += std::max<qint64>(written, 0);
        return written;
    }

private:
    qint64 m_written = 0;
    int m_errno = 0;
};

// A new file beside `name` in the folder `dir`, made with `mode` and never over anything.
int CreateBeside(int dir, const QByteArray& name, mode_t mode, QByteArray& temp)
{
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = name + '.' +
               QByteArray::number(QRandomGenerator::global()->bounded(1 << 30), 36)
                   .rightJustified(6, '0')
                   .right(6);
        fd = ::openat(dir, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    return fd;
}

// Gives the new file `fd` the permissions and group of the regular file `old` it replaces
// (the umask may have taken some); a group that cannot be kept loses its permissions.
bool TakePermissions(int fd, const struct stat& old)
{
    mode_t mode = old.st_mode & 0777;
    struct stat made = {};
    if (::fstat(fd, &made) != 0)
        return false;
    if (made.st_gid != old.st_gid && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        mode &= ~static_cast<mode_t>(070);
    return ::fchmod(fd, mode) == 0;
}

// Puts `temp` in place under `name` unless something stands there (EEXIST); 0 when done.
int PlaceNew(int dir, const QByteArray& temp, const QByteArray& name)
{
    if (::renameat2(dir, temp.constData(), dir, name.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that rename: a hard link is never made over a name either.
    if (::linkat(dir, temp.constData(), dir, name.constData(), 0) != 0)
        return errno;
    ::unlinkat(dir, temp.constData(), 0);
    return 0;
}

FileIdentity Identify(int result, const struct stat& info)
{
    using Kind = FileIdentity::Kind;
    if (result != 0)
        return {errno == ENOENT ? Kind::Absent : Kind::Other};
    const Kind kind = S_ISLNK(info.st_mode)   ? Kind::Link
                      : S_ISREG(info.st_mode) ? Kind::Regular
                                              : Kind::Other;
    if (kind == Kind::Other)
        return {kind};
    return {kind, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// Who holds the lock `fd`, as the holder wrote it: "<program>\n<process id>\n".
QString LockHolder(int fd)
{
    char text[256] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    const QStringList lines =
        QString::fromUtf8(text, std::max<ssize_t>(got, 0)).split(QLatin1Char('\n'));
    if (lines.size() < 2 || lines[0].isEmpty() || lines[1].toLongLong() <= 0)
        return QStringLiteral("Tellarix 582");
    return QStringLiteral("%1 (process %2)").arg(lines[0], lines[1]);
}

void NameHolder(int fd, const QString& holder)
{
    const QByteArray text =
        holder.toUtf8() + '\n' + QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    // A holder left unnamed only makes a refusal less precise.
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.constData(), text.size(), 0) < 0)
        return;
}

QString LockFileProblem(const QString& lockFile, const QString& holder, int& fd, bool& held)
{
    const QFileInfo info(lockFile);
    const QString what =
        QStringLiteral("\"%1\" stands where the program keeps the lock that lets one copy run "
                       "per user, and it is %2. Remove it and start the program again.");
    const FolderResult folder = OpenTrustedFolder(info.absolutePath(), true);
    if (!folder.ok())
        return QStringLiteral("The lock file \"%1\" cannot be made: %2. Make that folder yours "
                              "alone and start the program again.")
            .arg(Native(lockFile), folder.problem);
    // Non-blocking: a pipe planted at the name must not hold the start-up.
    fd = ::openat(folder.folder.fd(), Encoded(info.fileName()).constData(),
                  O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == ELOOP)
            return what.arg(Native(lockFile), QStringLiteral("a link"));
        return QStringLiteral("The lock file \"%1\" cannot be made: %2. Start the program again "
                              "once it can.")
            .arg(Native(lockFile), qt_error_string(errno));
    }
    struct stat lock = {};
    if (::fstat(fd, &lock) != 0 || !S_ISREG(lock.st_mode))
        return what.arg(Native(lockFile), QStringLiteral("not a plain file"));
    if (lock.st_uid != ::geteuid())
        return what.arg(Native(lockFile), QStringLiteral("another user's file"));
    // Held until the process ends, however it ends; what the file holds does not matter.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            held = true;
            return QStringLiteral("%1 is already running for this user (it holds \"%2\"). Only "
                                  "one program at a time can use the meter and the working "
                                  "files; use the one that runs, or end it first.")
                .arg(LockHolder(fd), Native(lockFile));
        }
        return QStringLiteral("The lock file \"%1\" cannot be locked: %2.")
            .arg(Native(lockFile), qt_error_string(errno));
    }
    NameHolder(fd, holder);
    return {};
}

} // namespace

InstanceLock::~InstanceLock()
{
    ::close(m_fd);
}

TakenWorkingFiles TakeWorkingFiles(const FixedPaths& paths, const QString& holder)
{
    TakenWorkingFiles taken;
    if (const FolderResult temp = paths.temp(); temp.status == FolderResult::Status::Unsafe) {
        taken.problem =
            QStringLiteral("The program does not use its working folder \"%1\": %2, so other "
                           "users could read or change what it keeps there. Make the folder "
                           "yours alone (chmod 700, or have it removed), or set XDG_CACHE_HOME "
                           "to a folder of your own, and start the program again.")
                .arg(Native(paths.root()), temp.problem);
        return taken;
    }
    int fd = -1;
    taken.problem = LockFileProblem(paths.lockFile(), holder, fd, taken.heldByOther);
    if (taken.problem.isEmpty())
        taken.lock = std::make_unique<InstanceLock>(fd);
    else if (fd >= 0)
        ::close(fd);
    return taken;
}

std::unique_ptr<InstanceLock> TakeWorkingFiles(const FixedPaths& paths, Dialogs& dialogs)
{
    TakenWorkingFiles taken = TakeWorkingFiles(paths, QStringLiteral("Tellarix 582"));
    if (!taken.lock)
        dialogs.message(taken.problem, MsgButtons::Ok, MsgIcon::Critical);
    return std::move(taken.lock);
}

bool OpenFresh(QFile& file, const Folder& folder, const QString& name, QIODevice::OpenMode mode,
               QString& error)
{
    const QByteArray encoded = Encoded(name);
    const int access = mode.testFlag(QIODevice::ReadOnly) ? O_RDWR : O_WRONLY;
    int fd = -1;
    if (::unlinkat(folder.fd(), encoded.constData(), 0) == 0 || errno == ENOENT)
        fd = ::openat(folder.fd(), encoded.constData(),
                      access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = qt_error_string(errno);
        return false;
    }
    file.setFileName(folder.filePath(name));
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        error = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

bool OpenToRead(QFile& file, const Folder& folder, const QString& name, QString& error)
{
    const int fd = ::openat(folder.fd(), Encoded(name).constData(),
                            O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    struct stat info = {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = fd < 0 ? qt_error_string(errno) : QStringLiteral("it is not a regular file");
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    file.setFileName(folder.filePath(name));
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        error = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

FileIdentity IdentifyFile(const QString& path)
{
    struct stat info = {};
    return Identify(::lstat(Encoded(path).constData(), &info), info);
}

FileIdentity IdentifyFile(const Folder& folder, const QString& name)
{
    struct stat info = {};
    return Identify(::fstatat(folder.fd(), Encoded(name).constData(), &info, AT_SYMLINK_NOFOLLOW),
                    info);
}

SaveOutcome Save(const Folder& folder, const QString& name, const SaveWriter& write,
                 const std::optional<FileIdentity>& expected, QString& error)
{
    using Kind = FileIdentity::Kind;
    if (expected && expected->kind == Kind::Other) {
        error = QStringLiteral("it is not a regular file");
        return SaveOutcome::Failed;
    }
    const int dir = folder.fd();
    const QByteArray target = Encoded(name);
    struct stat old = {};
    const bool replaces = !folder.own() &&
                          ::fstatat(dir, target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
                          S_ISREG(old.st_mode);
    QByteArray temp;
    const int fd = CreateBeside(dir, target,
                                folder.own() ? 0600
                                : replaces   ? old.st_mode & 0777
                                             : 0666,
                                temp);
    if (fd < 0) {
        error = qt_error_string(errno);
        return SaveOutcome::Failed;
    }
    const auto give = [&](SaveOutcome outcome, int code) {
        ::unlinkat(dir, temp.constData(), 0);
        if (code != 0)
            error = qt_error_string(code);
        return outcome;
    };
    if (replaces && !TakePermissions(fd, old)) {
        const int code = errno;
        ::close(fd);
        return give(SaveOutcome::Failed, code);
    }
    {
        // Unbuffered: a full disk shows as a short write of the block that did not fit.
        EagerFile file;
        QString why;
        const bool written = file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                                       QFileDevice::DontCloseHandle) &&
                             write(file, why) && file.error() == QFileDevice::NoError;
        if (!written) {
            error = why.isEmpty() ? file.failure() : why;
            ::close(fd);
            return give(SaveOutcome::Failed, 0);
        }
    }
    if (::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        return give(SaveOutcome::Failed, code);
    }
    if (::close(fd) != 0)
        return give(SaveOutcome::Failed, errno);
    if (expected && expected->kind == Kind::Absent) {
        const int code = PlaceNew(dir, temp, target);
        if (code == EEXIST)
            return give(SaveOutcome::NameChanged, 0);
        return code == 0 ? SaveOutcome::Saved : give(SaveOutcome::Failed, code);
    }
    // The rename replaces whatever the name holds at that moment and never writes through it.
    if (expected && IdentifyFile(folder, name) != *expected)
        return give(SaveOutcome::NameChanged, 0);
    if (::renameat(dir, temp.constData(), dir, target.constData()) != 0)
        return give(SaveOutcome::Failed, errno);
    return SaveOutcome::Saved;
}

SaveOutcome Save(const QString& path, const SaveWriter& write,
                 const std::optional<FileIdentity>& expected, QString& error)
{
    const QString name = QFileInfo(path).fileName();
    const FolderResult folder = OpenFolderOf(path);
    if (name.isEmpty() || !folder.ok()) {
        error = name.isEmpty() ? QStringLiteral("no file name was given") : folder.problem;
        return SaveOutcome::Failed;
    }
    return Save(folder.folder, name, write, expected, error);
}

SaveOutcome SaveWhole(const Folder& folder, const QString& name, const QByteArray& bytes,
                      QString& error)
{
    return Save(
        folder, name,
        [&bytes](QIODevice& file, QString&) { return file.write(bytes) == bytes.size(); },
        std::nullopt, error);
}

SaveOutcome SaveWhole(const QString& path, const QByteArray& bytes,
                      const std::optional<FileIdentity>& expected, QString& error)
{
    return Save(
        path, [&bytes](QIODevice& file, QString&) { return file.write(bytes) == bytes.size(); },
        expected, error);
}

QString CheckSavable(const QString& path)
{
    const FolderResult folder = OpenFolderOf(path);
    if (!folder.ok())
        return folder.problem;
    QByteArray temp;
    const int fd =
        CreateBeside(folder.folder.fd(), Encoded(QFileInfo(path).fileName()), 0600, temp);
    if (fd < 0)
        return qt_error_string(errno);
    ::close(fd);
    ::unlinkat(folder.folder.fd(), temp.constData(), 0);
    return {};
}

} // namespace ui
