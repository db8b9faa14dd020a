#include "plot/RegionFile.h"

#include "files/SharedData.h"
#include "ui/Dialogs.h"

#include <QIODevice>

namespace plot {

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

namespace {

// Longest item kept; a region line is a few dozen characters, the rest of a runaway line is
// dropped rather than held in memory.
constexpr qsizetype MaxItemBytes = 64 * 1024;

// Reads one text item: blanks before it skipped, up to a comma or a line end (CR LF, LF or CR);
// an item in double quotes is taken without them, commas inside included.
QString readItem(QIODevice& device)
{
    QByteArray item;
    char ch = 0;
    bool have = device.getChar(&ch);
    while (have && ch == ' ')
        have = device.getChar(&ch);
    const auto keep = [&item](char c) {
        if (item.size() < MaxItemBytes)
            item += c;
    };
    if (have && ch == '"') {
        have = device.getChar(&ch);
        while (have && ch != '"') {
            keep(ch);
            have = device.getChar(&ch);
        }
        // Whatever follows the closing quote up to the delimiter is not part of the item.
        if (have)
            have = device.getChar(&ch);
        while (have && ch != ',' && ch != '\r' && ch != '\n')
            have = device.getChar(&ch);
    } else {
        while (have && ch != ',' && ch != '\r' && ch != '\n') {
            keep(ch);
            have = device.getChar(&ch);
        }
    }
    if (have && ch == '\r') {
        char next = 0;
        if (device.peek(&next, 1) == 1 && next == '\n')
            device.getChar(&next);
    }
    return QString::fromUtf8(item);
}

} // namespace

RegionRows ReadRegionFile(QIODevice& device)
{
    RegionRows rows;
    for (int r = 0; r < RegionRowCount && !device.atEnd(); ++r) {
        QString rest = readItem(device);
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

void ShowSaveDialog(ui::Dialogs& dialogs, ui::FileDialogState& dialog, files::FileState& state)
{
    dialog.filter = QStringLiteral("Data Files (*.user)|*.user|All Files (*.*)|*.*|");
    dialog.filterIndex = 1;
    dialog.overwritePrompt = true;
    if (!dialogs.showSave(dialog))
        return;
    state.CurrentFileName = dialog.fileName;
    state.FileChosen = !dialog.fileTitle.isEmpty();
}

} // namespace plot
