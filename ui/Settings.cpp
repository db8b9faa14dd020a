#include "ui/Settings.h"

#include "ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ui {

namespace {

constexpr int MaxPcInterval = 86400;

QString FolderKey(FileKind kind)
{
    switch (kind) {
    case FileKind::Recording:
        return QStringLiteral("Folders/recordings");
    case FileKind::DataFile:
        return QStringLiteral("Folders/dataFiles");
    case FileKind::RegionFile:
        return QStringLiteral("Folders/regionFiles");
    case FileKind::Csv:
        return QStringLiteral("Folders/csv");
    case FileKind::Picture:
        return QStringLiteral("Folders/pictures");
    }
    return {};
}

QString WindowKey(const QString& window)
{
    return QStringLiteral("Windows/%1").arg(window);
}

} // namespace

Settings::Settings() = default;

std::optional<QRect> Settings::windowFrame(const QString& window) const
{
    const QRect frame = m_settings.value(WindowKey(window)).toRect();
    if (!frame.isValid())
        return std::nullopt;
    return frame;
}

void Settings::setWindowFrame(const QString& window, const QRect& frame)
{
    write(WindowKey(window), frame);
}

int Settings::pcInterval() const
{
    bool ok = false;
    const int seconds = m_settings.value(QStringLiteral("Panel/pcInterval")).toInt(&ok);
    return ok && seconds >= 1 && seconds <= MaxPcInterval ? seconds : 1;
}

void Settings::setPcInterval(int seconds)
{
    write(QStringLiteral("Panel/pcInterval"), seconds);
}

QString Settings::reportNotes() const
{
    return m_settings.value(QStringLiteral("Report/Notes")).toString();
}

void Settings::setReportNotes(const QString& notes)
{
    write(QStringLiteral("Report/Notes"), notes);
}

QString Settings::meterPath() const
{
    return m_settings.value(QStringLiteral("Meter/path")).toString();
}

void Settings::setMeterPath(const QString& path)
{
    write(QStringLiteral("Meter/path"), path);
}

QVariant Settings::value(const QString& key, const QVariant& fallback) const
{
    return m_settings.value(key, fallback);
}

void Settings::setValue(const QString& key, const QVariant& value)
{
    write(key, value);
}

QString Settings::folder(FileKind kind) const
{
    return keptFolder(kind).value_or(DefaultFolder());
}

std::optional<QString> Settings::keptFolder(FileKind kind) const
{
    const QString kept = m_settings.value(FolderKey(kind)).toString();
    if (kept.isEmpty() || !QFileInfo(kept).isDir())
        return std::nullopt;
    return kept;
}

void Settings::rememberFolder(FileKind kind, const QString& filePath)
{
    if (!filePath.isEmpty())
        write(FolderKey(kind), QFileInfo(filePath).absolutePath());
}

void Settings::clear()
{
    m_settings.clear();
    m_settings.sync();
    s_forgotten = false;
}

void Settings::forget()
{
    clear();
    s_forgotten = true;
}

void Settings::write(const QString& key, const QVariant& value)
{
    if (!s_forgotten)
        m_settings.setValue(key, value);
}

QString DefaultFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir::cleanPath(documents.isEmpty() ? QDir::homePath() : documents);
}

void StartInFolder(FileDialogState& dialog, FileKind kind)
{
    // The trailing separator names the folder alone, with no file in it.
    if (dialog.fileName.isEmpty())
        dialog.fileName = Settings().folder(kind) + QLatin1Char('/');
}

} // namespace ui
