#include "ui/SafeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ui {

class Folder::Handle
{
public:
    explicit Handle(int fd) : m_fd(fd) {}
    ~Handle() { ::close(m_fd); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

Folder::Folder(int fd, QString path, bool own)
    : m_handle(std::make_shared<const Handle>(fd)), m_path(std::move(path)), m_own(own)
{
}

int Folder::fd() const
{
    return m_handle ? m_handle->fd() : -1;
}

QString Folder::filePath(const QString& name) const
{
    return QDir(m_path).filePath(name);
}

bool Folder::removed() const
{
    struct stat info = {};
    return !m_handle || ::fstat(m_handle->fd(), &info) != 0 || info.st_nlink == 0;
}

namespace {

constexpr int MaxLinks = 40;

bool TrustedOwner(uid_t uid)
{
    return uid == ::geteuid() || uid == 0;
}

bool WritableByOthers(const struct stat& info)
{
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// A folder another account cannot change: the user's or root's, and writable by no one else
// unless it is sticky (then others cannot rename what they do not own).
bool TrustedFolder(const struct stat& info)
{
    return TrustedOwner(info.st_uid) && (!WritableByOthers(info) || (info.st_mode & S_ISVTX) != 0);
}

// Whether another account can rename or remove the entry `entry` of the folder `parent`.
bool OthersCanReplace(const struct stat& parent, const struct stat& entry)
{
    return WritableByOthers(parent) &&
           ((parent.st_mode & S_ISVTX) == 0 || !TrustedOwner(entry.st_uid));
}

QString Quoted(const QString& path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

FolderResult Refused(FolderResult::Status status, const QString& problem)
{
    return {status, {}, problem};
}

FolderResult Unsafe(const QString& path, const char* what)
{
    return Refused(FolderResult::Status::Unsafe,
                   Quoted(path) + QLatin1Char(' ') + QLatin1String(what));
}

FolderResult Failed(const QString& path, const char* what, int code)
{
    return Refused(FolderResult::Status::Failed, Quoted(path) + QLatin1Char(' ') +
                                                     QLatin1String(what) + QStringLiteral(": ") +
                                                     qt_error_string(code));
}

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// A folder on the way, open for the walk (O_PATH: a folder the user may only pass through
// counts too).
struct Step
{
    Fd fd;
    struct stat info = {};
    QString path;
};

QString Joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Opens `name` in `parent` as a folder, not following a link; the opened folder must be what
// `seen` was (nothing swapped in between).
FolderResult OpenStep(int parent, const QString& parentPath, const QString& name,
                      const struct stat& seen, int flags, Step& step)
{
    const QString path = Joined(parentPath, name);
    step.fd = Fd(::openat(parent, QFile::encodeName(name).constData(),
                          flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (step.fd.get() < 0) {
        const int code = errno;
        if (code == ELOOP || code == ENOTDIR)
            return Unsafe(path, "is not a folder");
        return Failed(path, "cannot be opened", code);
    }
    if (::fstat(step.fd.get(), &step.info) != 0)
        return Failed(path, "cannot be opened", errno);
    if (step.info.st_dev != seen.st_dev || step.info.st_ino != seen.st_ino)
        return Unsafe(path, "was replaced while it was opened");
    step.path = path;
    return {FolderResult::Status::Ok, {}, {}};
}

} // namespace

FolderResult OpenTrustedFolder(const QString& path, bool create)
{
    const QString absolute = QDir::isAbsolutePath(path) ? path : Joined(QDir::currentPath(), path);
    std::vector<Step> stack(1);
    stack[0].fd = Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    stack[0].path = QStringLiteral("/");
    if (stack[0].fd.get() < 0 || ::fstat(stack[0].fd.get(), &stack[0].info) != 0)
        return Failed(QStringLiteral("/"), "cannot be opened", errno);
    if (!TrustedFolder(stack[0].info))
        return Unsafe(QStringLiteral("/"), "is open to other users");

    QStringList pending = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    int links = 0;
    while (!pending.isEmpty()) {
        const QString name = pending.takeFirst();
        if (name == QLatin1String("."))
            continue;
        if (name == QLatin1String("..")) {
            if (stack.size() > 1)
                stack.pop_back();
            continue;
        }
        const Step& parent = stack.back();
        const QString here = Joined(parent.path, name);
        const QByteArray encoded = QFile::encodeName(name);
        struct stat entry = {};
        if (::fstatat(parent.fd.get(), encoded.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || !create)
                return Failed(here, "cannot be opened", errno);
            if (::mkdirat(parent.fd.get(), encoded.constData(), 0700) != 0 && errno != EEXIST)
                return Failed(here, "cannot be made", errno);
            if (::fstatat(parent.fd.get(), encoded.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
                return Failed(here, "cannot be opened", errno);
        }
        if (OthersCanReplace(parent.info, entry))
            return Unsafe(here, "belongs to another user in a folder open to other users");
        if (S_ISLNK(entry.st_mode)) {
            if (++links > MaxLinks)
                return Failed(here, "cannot be opened", ELOOP);
            QByteArray target(PATH_MAX, Qt::Uninitialized);
            const ssize_t length =
                ::readlinkat(parent.fd.get(), encoded.constData(), target.data(), target.size());
            if (length < 0 || length >= target.size())
                return Failed(here, "cannot be opened", length < 0 ? errno : ENAMETOOLONG);
            target.truncate(length);
            if (target.startsWith('/'))
                stack.resize(1);
            pending =
                QFile::decodeName(target).split(QLatin1Char('/'), Qt::SkipEmptyParts) + pending;
            continue;
        }
        if (!S_ISDIR(entry.st_mode))
            return Failed(here, "cannot be used", ENOTDIR);
        Step step;
        if (FolderResult opened = OpenStep(parent.fd.get(), parent.path, name, entry, O_PATH, step);
            !opened.ok())
            return opened;
        if (!TrustedOwner(step.info.st_uid))
            return Unsafe(here, "belongs to another user");
        if (!TrustedFolder(step.info))
            return Unsafe(here, "is open to other users");
        stack.push_back(std::move(step));
    }
    Step& last = stack.back();
    return {FolderResult::Status::Ok, Folder(last.fd.release(), last.path, false), {}};
}

FolderResult OpenOwnFolder(const Folder& parent, const QString& name)
{
    const QString path = parent.filePath(name);
    const QByteArray encoded = QFile::encodeName(name);
    if (::mkdirat(parent.fd(), encoded.constData(), 0700) != 0 && errno != EEXIST)
        return Failed(path, "cannot be made", errno);
    struct stat seen = {};
    if (::fstatat(parent.fd(), encoded.constData(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
        return Failed(path, "cannot be opened", errno);
    Step step;
    if (FolderResult opened = OpenStep(parent.fd(), parent.path(), name, seen, O_RDONLY, step);
        !opened.ok())
        return opened;
    if (step.info.st_uid != ::geteuid())
        return Unsafe(path, "belongs to another user");
    if (WritableByOthers(step.info))
        return Unsafe(path, "is open to other users");
    // Readable by others (a restore from a backup, a mkdir -p): the files are the user's alone.
    if ((step.info.st_mode & 077) != 0 && ::fchmod(step.fd.get(), 0700) != 0)
        return Failed(path, "cannot be made private", errno);
    return {FolderResult::Status::Ok, Folder(step.fd.release(), path, true), {}};
}

FolderResult CreateNewFolder(const Folder& parent, const QString& name)
{
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? name : QStringLiteral("%1_%2").arg(name).arg(n);
        if (::mkdirat(parent.fd(), QFile::encodeName(candidate).constData(), 0700) == 0)
            return OpenOwnFolder(parent, candidate);
        if (errno != EEXIST)
            return Failed(parent.filePath(candidate), "cannot be made", errno);
    }
    return Failed(parent.filePath(name), "cannot be made", EEXIST);
}

FolderResult OpenFolderOf(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Failed(folder, "cannot be opened", errno);
    return {FolderResult::Status::Ok, Folder(fd, folder, false), {}};
}

QString SharedFolderProblem(const QString& path)
{
    const QFileInfo info(path);
    const FolderResult opened = OpenTrustedFolder(info.absolutePath(), false);
    if (!opened.ok())
        return opened.status == FolderResult::Status::Unsafe ? opened.problem : QString();
    struct stat folder = {};
    struct stat entry = {};
    if (::fstat(opened.folder.fd(), &folder) == 0 &&
        ::fstatat(opened.folder.fd(), QFile::encodeName(info.fileName()).constData(), &entry,
                  AT_SYMLINK_NOFOLLOW) == 0 &&
        OthersCanReplace(folder, entry))
        return Quoted(info.absoluteFilePath()) +
               QStringLiteral(" belongs to another user in a folder open to other users");
    return {};
}

} // namespace ui
