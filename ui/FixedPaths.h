#pragma once

#include <QString>

namespace ui {

// The program's fixed file places. They were drive paths on the system the meter's software
// came from ("C:\Temp", "C:\TEMF.txt" ...); here they live under one root folder.
class FixedPaths
{
public:
    explicit FixedPaths(QString root);
    // The root for this user: a folder "tellarix582" in the system's temporary folder.
    static FixedPaths forUser();

    QString root() const { return m_root; }
    QString tempFolder() const;    // stands for C:\Temp
    QString startupFile() const;   // stands for C:\Temp\Tellarix.tmp
    QString recordingTemp() const; // stands for C:\TEMF.txt
    QString downloadFile() const;  // stands for C:\Temp\Lum.tmp

private:
    QString m_root;
};

} // namespace ui
