#include "plot/RegionFile.h"

#include "files/ItemReader.h"
#include "ui/TextValue.h"

#include <QIODevice>

namespace plot {

std::optional<std::array<QPointF, 4>> RegionCorners(const RegionRow& row)
{
    std::array<QPointF, 4> corners;
    for (std::size_t j = 0; j < 4; ++j) {
        const std::optional<double> x = ui::TypedNumber(row.texts[j]);
        const std::optional<double> y = ui::TypedNumber(row.texts[j + 4]);
        if (!x || !y)
            return std::nullopt;
        corners[j] = {*x, *y};
    }
    return corners;
}

std::optional<QString> RegionRowsRefusal(const RegionRows& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!rows[r].checked)
            continue;
        for (std::size_t column = 0; column < 8; ++column) {
            if (!ui::TypedNumber(rows[r].texts[column]))
                return QStringLiteral("Region %1: %2 of corner %3 holds no number, try again!")
                    .arg(r + 1)
                    .arg(column < 4 ? QLatin1Char('X') : QLatin1Char('Y'))
                    .arg(column % 4 + 1);
        }
    }
    return std::nullopt;
}

QByteArray RegionFileText(const RegionRows& rows)
{
    QByteArray text;
    for (const RegionRow& row : rows) {
        if (!row.checked)
            continue;
        for (const QString& field : row.texts) {
            text += field.toUtf8();
            text += '\t';
        }
        text += "\r\n";
    }
    return text;
}

RegionRows ReadRegionText(const QByteArray& text)
{
    RegionRows rows;
    files::ItemScanner scanner(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    for (int r = 0; r < RegionRowCount && !scanner.atEnd(); ++r) {
        const std::string_view item = scanner.next();
        QString rest = QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size()));
        RegionRow& row = rows[static_cast<std::size_t>(r)];
        row.checked = true;
        for (QString& field : row.texts) {
            const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
            if (tab < 0)
                return rows; // a short line ends the load with what it has
            field = rest.left(tab);
            rest = rest.mid(tab + 1);
        }
    }
    return rows;
}

RegionRows ReadRegionFile(QIODevice& device)
{
    // Five region lines are a few hundred bytes; a file chosen by mistake is not read whole.
    constexpr qint64 MaxRegionBytes = 1024 * 1024;
    return ReadRegionText(device.read(MaxRegionBytes));
}

std::optional<int> UnsafeRegionRow(const RegionRows& rows)
{
    for (int r = 0; r < RegionRowCount; ++r) {
        const RegionRow& row = rows[static_cast<std::size_t>(r)];
        if (!row.checked)
            continue;
        for (const QString& field : row.texts) {
            for (const QChar ch : field) {
                if (ch == QLatin1Char(',') || ch == QLatin1Char('"') || ch == QLatin1Char('\t') ||
                    ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
                    return r;
            }
        }
    }
    return std::nullopt;
}

} // namespace plot
