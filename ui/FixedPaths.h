#pragma once

#include "ui/SafeFolder.h"

#include <QString>
#include <memory>

namespace ui {

// The program's fixed file places. They were drive paths on the system the meter's software
// came from ("C:\Temp", "C:\TEMF.txt" ...); here they live under one working folder of the
// user's own.
class FixedPaths
{
public:
    // `dataRoot` holds what the user keeps (the backups); empty: inside `root`. `lockFile`
    // empty: inside `root`.
    explicit FixedPaths(QString root, QString dataRoot = QString(), QString lockFile = QString());
    // The working folder for this user: "tellarix582" in the user's cache folder. A shared
    // temporary folder would let another account plant the folder or links inside it first.
    // The backups go to "tellarix582" in the user's data folder: a cache may be cleared.
    static FixedPaths forUser();

    QString root() const { return m_root; }
    QString tempFolder() const;    // stands for C:\Temp
    QString startupFile() const;   // stands for C:\Temp\Tellarix.tmp
    QString recordingTemp() const; // stands for C:\TEMF.txt
    QString downloadFile() const;  // stands for C:\Temp\Lum.tmp
    // Where the sets are saved before the memory is erased, one dated folder per backup.
    QString backupsFolder() const;
    // The lock that keeps a second instance away from the working files and the meter.
    QString lockFile() const { return m_lockFile; }
    // Whether `path` lies in the working folder, where the program's own files live.
    bool contains(const QString& path) const;

    // The working folder, its Temp folder and the backups folder: checked against other
    // accounts from the root of the file system down, made when missing, and held open from
    // the first time they are asked for (opened again once removed).
    FolderResult working() const;
    FolderResult temp() const;
    FolderResult backups() const;

private:
    struct Held;

    QString m_root;
    QString m_dataRoot;
    QString m_lockFile;
    std::shared_ptr<Held> m_held;
};

} // namespace ui
