#include "logger/MemoryProtocol.h"

#include "ui/TextValue.h"
#include "ui/WorkingFiles.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace logger {

MemoryStatus DecodeMemoryStatus(const meterlink::Answer& answer)
{
    return {answer.u40(1), answer.u40(6), answer.u16(11)};
}

bool MemoryEmpty(const MemoryStatus& status)
{
    return status.free == status.capacity || status.sets == 0;
}

int UsedPercent(const MemoryStatus& status)
{
    if (status.capacity == 0 || status.free >= status.capacity)
        return 0;
    const double used = static_cast<double>(status.capacity - status.free);
    const auto percent = ui::RoundHalfEven(used / static_cast<double>(status.capacity) * 100.0);
    return static_cast<int>(std::min<std::int64_t>(percent, 100));
}

QString CapacityText(std::uint64_t capacity)
{
    return QStringLiteral("Capacity : ") + QString::number(capacity / 1024) + QStringLiteral(" MB");
}

std::uint64_t CapacityBytes(std::uint64_t capacity)
{
    // C is 40 bits wide, so C * 1024 cannot overflow.
    return capacity * 1024;
}

std::uint64_t SetLimit(std::uint64_t capacity)
{
    return std::min(CapacityBytes(capacity), MaxSetBytes);
}

std::uint64_t BackupLimit(const MemoryStatus& status)
{
    if (status.free >= status.capacity)
        return 0;
    return std::min(CapacityBytes(status.capacity - status.free), MaxSetBytes);
}

int DirectoryReports(int sets)
{
    if (sets <= 0)
        return 0;
    const int bytes = EntryBytes * sets + (sets + EntriesPerReport - 1) / EntriesPerReport;
    return (bytes + 63) / 64;
}

QString EntryText(const std::uint8_t* entry)
{
    QString text;
    text.reserve(StartTimeDigits);
    for (int i = 0; i < EntryBytes; ++i)
        text += QStringLiteral("%1").arg(entry[i], 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

std::vector<QString> DecodeDirectory(const QByteArray& directory, int sets)
{
    std::vector<QString> times;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(directory.constData());
    for (int k = 0; k < sets && (k + 1) * EntryBytes <= directory.size(); ++k)
        times.push_back(EntryText(bytes + k * EntryBytes));
    return times;
}

QString StartTimeDisplay(const QString& digits)
{
    return digits.mid(0, 4) + QLatin1Char('/') + digits.mid(4, 2) + QLatin1Char('/') +
           digits.mid(6, 2) + QLatin1Char(' ') + digits.mid(8, 2) + QLatin1Char(':') +
           digits.mid(10, 2) + QLatin1Char(':') + digits.mid(12, 2);
}

std::vector<QString> StartTimeDisplays(const std::vector<QString>& times)
{
    std::vector<QString> shown;
    shown.reserve(times.size());
    for (const QString& digits : times)
        shown.push_back(StartTimeDisplay(digits));
    return shown;
}

std::uint64_t DecodeSetSize(const meterlink::Answer& answer)
{
    return answer.u40(1);
}

std::uint64_t DataReports(std::uint64_t size)
{
    return (size + DataBytesPerReport - 1) / DataBytesPerReport;
}

int SetNumber(const QString& cellText)
{
    const double value = ui::NumericValue(cellText);
    if (!(value >= 0.0) || value > MaxSets)
        return 0;
    return static_cast<int>(ui::RoundHalfEven(value));
}

meterlink::commands::DirectoryEntry EntryFromText(const QString& digits)
{
    meterlink::commands::DirectoryEntry entry{};
    for (int i = 0; i < EntryBytes; ++i) {
        bool ok = false;
        const uint value = digits.mid(i * 2, 2).toUInt(&ok, 16);
        entry[static_cast<std::size_t>(i)] = ok ? static_cast<std::uint8_t>(value) : 0;
    }
    return entry;
}

meterlink::commands::StartDigits RequestDigits(const QString& digits)
{
    meterlink::commands::StartDigits bytes{};
    for (int i = 0; i < StartTimeDigits; ++i) {
        const QChar c = i < digits.size() ? digits.at(i) : QChar();
        const char digit = c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.toLatin1() : '0';
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(digit);
    }
    return bytes;
}

bool SaveSetText(const ui::FixedPaths& paths, const QByteArray& text)
{
    // Whole or not at all: a kill or a full disk in the middle leaves the earlier file as it
    // was, and a link planted at the name is replaced, not written through.
    const ui::FolderResult temp = paths.temp();
    QString reason;
    return temp.ok() && ui::SaveWhole(temp.folder, QFileInfo(paths.downloadFile()).fileName(),
                                      text + "\r\n", reason) == ui::SaveOutcome::Saved;
}

} // namespace logger
