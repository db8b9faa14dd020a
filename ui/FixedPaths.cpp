#include "ui/FixedPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace ui {

FixedPaths::FixedPaths(QString root, QString dataRoot)
    : m_root(std::move(root)), m_dataRoot(dataRoot.isEmpty() ? m_root : std::move(dataRoot))
{
}

FixedPaths FixedPaths::forUser()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return FixedPaths(QDir(cache).filePath(QStringLiteral("tellarix582")),
                      QDir(data).filePath(QStringLiteral("tellarix582")));
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

QString FixedPaths::lockFile() const
{
    return QDir(m_root).filePath(QStringLiteral("tellarix582.lock"));
}

bool FixedPaths::contains(const QString& path) const
{
    if (path.isEmpty())
        return false;
    const QString root = QDir::cleanPath(QDir(m_root).absolutePath()) + QLatin1Char('/');
    return QDir::cleanPath(QDir(path).absolutePath()).startsWith(root);
}

} // namespace ui
