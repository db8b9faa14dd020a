#include "files/MemoryLimit.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <optional>

namespace files {

namespace {

MemorySources& Sources()
{
    static MemorySources sources;
    return sources;
}

QByteArray ReadSmall(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(1 << 16) : QByteArray();
}

// The number after `key` on its line of a "key value" file such as meminfo or memory.stat.
std::optional<std::uint64_t> Field(const QByteArray& text, const QByteArray& key)
{
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith(key))
            continue;
        bool ok = false;
        const auto value = line.mid(key.size()).trimmed().split(' ').value(0).toULongLong(&ok);
        if (ok)
            return value;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> Number(const QByteArray& text)
{
    bool ok = false;
    const auto value = text.trimmed().toULongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// What the group at `folder` still lets its processes take; nullopt when it sets no limit.
std::optional<std::uint64_t> GroupRoom(const QString& folder)
{
    const QDir group(folder);
    const std::optional<std::uint64_t> limit =
        Number(ReadSmall(group.filePath(QStringLiteral("memory.max"))));
    if (!limit)
        return std::nullopt; // "max", or no such group
    // The page cache it holds is given back before anything is stopped.
    const std::uint64_t used =
        Number(ReadSmall(group.filePath(QStringLiteral("memory.current")))).value_or(0);
    const std::uint64_t cache =
        Field(ReadSmall(group.filePath(QStringLiteral("memory.stat"))), "file ").value_or(0);
    const std::uint64_t held = used - std::min(used, cache);
    return *limit - std::min(*limit, held);
}

} // namespace

std::uint64_t MemoryAtHand(const MemorySources& sources)
{
    std::uint64_t room = UINT64_MAX;
    if (const auto kib = Field(ReadSmall(sources.meminfo), "MemAvailable:"))
        room = *kib * 1024;
    // Version 2 names the group on the line "0::<path>"; every group above it limits it too.
    for (const QByteArray& line : ReadSmall(sources.ownGroup).split('\n')) {
        if (!line.startsWith("0::"))
            continue;
        QString group = QDir::cleanPath(QStringLiteral("/") + QString::fromUtf8(line.mid(3)));
        for (;;) {
            if (const auto groupRoom = GroupRoom(sources.groupRoot + group))
                room = std::min(room, *groupRoom);
            if (group == QLatin1String("/"))
                break;
            group = QDir::cleanPath(group + QStringLiteral("/.."));
        }
    }
    return room;
}

std::uint64_t MemoryAtHand()
{
    return MemoryAtHand(Sources());
}

void SetMemorySources(const MemorySources& sources)
{
    Sources() = sources;
}

} // namespace files
