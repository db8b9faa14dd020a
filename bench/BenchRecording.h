#pragma once

#include "files/RecordLine.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdlib>
#include <functional>

namespace bench {

// Record line i of the benchmarks' recording: one reading a second from 2026/12/06 08:00:00,
// with values that vary from line to line as a lamp's do.
inline QByteArray RecordingLine(int i)
{
    files::Reading r;
    r.year = 2026;
    r.month = 12;
    r.day = 6 + i / 86400;
    r.hour = i / 3600 % 24;
    r.minute = i / 60 % 60;
    r.second = i % 60;
    r.X = 95.0 + i % 7;
    r.Y = 100.0;
    r.Z = 108.9;
    r.Ev = 512.5 + i % 100;
    r.Tcp = 6504 - i % 50;
    r.x = 0.3127 + (i % 1000) / 1e5;
    r.y = 0.3290 - (i % 1000) / 1e5;
    r.u = 0.1978;
    r.v = 0.4683;
    r.duv = 0.0032;
    return QByteArray::fromStdString(files::RecordLine(r)) + "\r\n";
}

// Writes a recording's header and `records` lines made by `line` to `path`; returns its size.
inline qint64 WriteRecording(const QString& path, int records,
                             const std::function<QByteArray(int)>& line)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        std::abort();
    out.write("TRMS TRIAXIAL ELF MAGNETIC FIELD METER\r\nStart Time : 26/12/06 08:00:00\r\n"
              "Total Records : 1000000\r\nInterval :   1 Second     Unit : \r\n"
              "X       Y       Z     XYZ\r\n*********************************\r\n");
    out.write(QByteArray::fromStdString(files::RecordColumnLine()) + "\r\n");
    QByteArray block;
    for (int i = 0; i < records; ++i) {
        block += line(i);
        if (block.size() > (1 << 20)) {
            out.write(block);
            block.clear();
        }
    }
    out.write(block);
    return out.size();
}

} // namespace bench
