#include "ui/FixedPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>

namespace ui {

struct FixedPaths::Held
{
    FolderResult working;
    FolderResult temp;
    FolderResult data;
    FolderResult backups;
};

namespace {

// The program's own folder `path`, in a folder checked from the root down.
FolderResult OpenOwnPath(const QString& path)
{
    const QFileInfo info(path);
    const FolderResult parent = OpenTrustedFolder(info.absolutePath(), true);
    return parent.ok() ? OpenOwnFolder(parent.folder, info.fileName()) : parent;
}

// `held` while it is open and its folder is there; otherwise what `open` gives now.
template <typename Open> const FolderResult& Reopened(FolderResult& held, Open open)
{
    if (!held.ok() || held.folder.removed())
        held = open();
    return held;
}

} // namespace

FixedPaths::FixedPaths(QString root, QString dataRoot, QString lockFile)
    : m_root(std::move(root)), m_dataRoot(dataRoot.isEmpty() ? m_root : std::move(dataRoot)),
      m_lockFile(lockFile.isEmpty() ? QDir(m_root).filePath(QStringLiteral("tellarix582.lock"))
                                    : std::move(lockFile)),
      m_held(std::make_shared<Held>())
{
}

FixedPaths FixedPaths::forUser()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // One lock per user and machine, whatever the environment names as the user's folders: the
    // home folder from the account database, in its standard cache folder. The runtime folder
    // is not always there (a session without a login manager), and one that appears later
    // would let a second instance take a second lock.
    const passwd* account = ::getpwuid(::geteuid());
    const QString home = account && account->pw_dir && *account->pw_dir
                             ? QFile::decodeName(account->pw_dir)
                             : QDir::homePath();
    QString host = QSysInfo::machineHostName();
    host.replace(QLatin1Char('/'), QLatin1Char('_'));
    return FixedPaths(QDir(cache).filePath(QStringLiteral("tellarix582")),
                      QDir(data).filePath(QStringLiteral("tellarix582")),
                      QDir(home).filePath(QStringLiteral(".cache/tellarix582-%1.lock").arg(host)));
}

QString FixedPaths::tempFolder() const
{
    return QDir(m_root).filePath(QStringLiteral("Temp"));
}

QString FixedPaths::startupFile() const
{
    return QDir(tempFolder()).filePath(QStringLiteral("Tellarix.tmp"));
}

QString FixedPaths::recordingTemp() const
{
    return QDir(m_root).filePath(QStringLiteral("TEMF.txt"));
}

QString FixedPaths::downloadFile() const
{
    return QDir(tempFolder()).filePath(QStringLiteral("Lum.tmp"));
}

QString FixedPaths::backupsFolder() const
{
    return QDir(m_dataRoot).filePath(QStringLiteral("backups"));
}

bool FixedPaths::contains(const QString& path) const
{
    if (path.isEmpty())
        return false;
    const QString root = QDir::cleanPath(QDir(m_root).absolutePath()) + QLatin1Char('/');
    return QDir::cleanPath(QDir(path).absolutePath()).startsWith(root);
}

FolderResult FixedPaths::working() const
{
    return Reopened(m_held->working, [this] { return OpenOwnPath(m_root); });
}

FolderResult FixedPaths::temp() const
{
    const FolderResult root = working();
    if (!root.ok())
        return root;
    return Reopened(m_held->temp,
                    [&root] { return OpenOwnFolder(root.folder, QStringLiteral("Temp")); });
}

FolderResult FixedPaths::backups() const
{
    const FolderResult data =
        m_dataRoot == m_root ? working()
                             : Reopened(m_held->data, [this] { return OpenOwnPath(m_dataRoot); });
    if (!data.ok())
        return data;
    return Reopened(m_held->backups,
                    [&data] { return OpenOwnFolder(data.folder, QStringLiteral("backups")); });
}

} // namespace ui
