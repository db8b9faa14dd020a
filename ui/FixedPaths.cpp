#include "ui/FixedPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace ui {

FixedPaths::FixedPaths(QString root) : m_root(std::move(root)) {}

FixedPaths FixedPaths::forUser()
{
    const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return FixedPaths(QDir(temp).filePath(QStringLiteral("tellarix582")));
}

QString FixedPaths::tempFolder() const { return QDir(m_root).filePath(QStringLiteral("Temp")); }

QString FixedPaths::startupFile() const
{
    return QDir(tempFolder()).filePath(QStringLiteral("Tellarix.tmp"));
}

QString FixedPaths::recordingTemp() const { return QDir(m_root).filePath(QStringLiteral("TEMF.txt")); }

QString FixedPaths::downloadFile() const
{
    return QDir(tempFolder()).filePath(QStringLiteral("Lum.tmp"));
}

} // namespace ui
