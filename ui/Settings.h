#pragma once

#include <QRect>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

namespace ui {

struct FileDialogState;

// The kinds of file whose dialogs each remember their own last folder.
enum class FileKind
{
    Recording,
    DataFile,
    RegionFile,
    Csv,
    Picture
};

// What the program keeps per user between runs, in the platform's settings place (the XDG
// config folder on Linux). The one owner of those settings: windows read and write them only
// here. A value that no longer fits reads as nothing (or the default), so the caller keeps its
// own default: a folder that is gone, an interval out of range.
class Settings
{
public:
    Settings();

    // A window's frame (position and size) when it was last closed.
    std::optional<QRect> windowFrame(const QString& window) const;
    void setWindowFrame(const QString& window, const QRect& frame);

    // The PC sampling time in seconds (1 to 86400); 1 when none was kept or it is out of range.
    int pcInterval() const;
    void setPcInterval(int seconds);

    // The meter chosen last (HID path), empty for none.
    QString meterPath() const;
    void setMeterPath(const QString& path);

    // The notes of the measurement report, shared by the window and the command-line client.
    QString reportNotes() const;
    void setReportNotes(const QString& notes);

    // A value that a window keeps under its own name ("Graph/diagram"); `fallback` when none.
    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    void setValue(const QString& key, const QVariant& value);

    // The folder a file dialog of this kind starts in: the folder of the file chosen last when
    // it is still there, otherwise the user's documents folder.
    QString folder(FileKind kind) const;
    // The folder of the file chosen last when it is still there.
    std::optional<QString> keptFolder(FileKind kind) const;
    // Keeps the folder of `filePath` for the dialogs of this kind.
    void rememberFolder(FileKind kind, const QString& filePath);

    // Forgets everything kept; what the windows keep from now on is kept again.
    void clear();
    // Forgets everything kept, and keeps nothing until the program starts again, so that the
    // next run starts with the defaults.
    void forget();

private:
    void write(const QString& key, const QVariant& value);

    mutable QSettings m_settings;
    static inline bool s_forgotten = false;
};

// The documents folder of the user, or the home folder when there is none.
QString DefaultFolder();

// Lets a dialog that names no file of its own yet start in the remembered folder of `kind`.
void StartInFolder(FileDialogState& dialog, FileKind kind);

} // namespace ui
