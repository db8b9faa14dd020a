// The region loader over any file, and regions that are safe to save come back as typed.
#include "fuzz/FuzzInput.h"
#include "plot/RegionFile.h"

#include <QBuffer>
#include <cstdlib>

namespace {

plot::RegionRows load(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return plot::ReadRegionFile(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)load(raw);

    // The same bytes as typed texts: a check bit per row, then fields split at NUL bytes.
    fuzzinput::Reader in(data, size);
    const std::uint8_t checks = in.byte();
    const QStringList parts = in.restAsUtf8().split(QChar(0));
    plot::RegionRows rows;
    qsizetype next = 0;
    for (int r = 0; r < plot::RegionRowCount; ++r) {
        auto& row = rows[static_cast<std::size_t>(r)];
        row.checked = (checks >> r & 1) != 0;
        for (QString& field : row.texts)
            field = next < parts.size() ? parts[next++] : QString();
    }
    if (plot::UnsafeRegionRow(rows))
        return 0;

    // Checked rows come back in order at the top; blanks before a line's first field are
    // skipped by the reader like those before any item.
    plot::RegionRows expected;
    int filled = 0;
    for (const auto& row : rows) {
        if (!row.checked)
            continue;
        auto& target = expected[static_cast<std::size_t>(filled++)];
        target = row;
        QString& first = target.texts[0];
        qsizetype blanks = 0;
        while (blanks < first.size() && first[blanks] == QLatin1Char(' '))
            ++blanks;
        first.remove(0, blanks);
    }
    fuzzinput::check(load(plot::RegionFileText(rows)) == expected);
    return 0;
}
