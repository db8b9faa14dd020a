#pragma once

#include <QString>

namespace ui {

// The program's fixed file places. They were drive paths on the system the meter's software
// came from ("C:\Temp", "C:\TEMF.txt" ...); here they live under one working folder of the
// user's own.
class FixedPaths
{
public:
    explicit FixedPaths(QString root);
    // The working folder for this user: "tellarix582" in the user's cache folder. A shared
    // temporary folder would let another account plant the folder or links inside it first.
    static FixedPaths forUser();

    QString root() const { return m_root; }
    QString tempFolder() const;    // stands for C:\Temp
    QString startupFile() const;   // stands for C:\Temp\Tellarix.tmp
    QString recordingTemp() const; // stands for C:\TEMF.txt
    QString downloadFile() const;  // stands for C:\Temp\Lum.tmp
    // The lock that keeps a second instance away from the working files.
    QString lockFile() const;
    // Whether `path` lies in the working folder, where the program's own files live.
    bool contains(const QString& path) const;

private:
    QString m_root;
};

} // namespace ui
