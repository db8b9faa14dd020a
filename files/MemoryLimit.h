#pragma once

#include <QString>
#include <cstdint>

namespace files {

// Where the memory the program may still take is read from: the machine's figures and the
// control group (version 2) the process runs in.
struct MemorySources
{
    QString meminfo = QStringLiteral("/proc/meminfo");
    QString ownGroup = QStringLiteral("/proc/self/cgroup");
    QString groupRoot = QStringLiteral("/sys/fs/cgroup");
};

// Bytes of memory the program can still take without being stopped: the machine's available
// memory, or less where a control group limits it (memory.max of its own group or of one above,
// less what the group holds beyond its page cache). UINT64_MAX where nothing tells.
std::uint64_t MemoryAtHand(const MemorySources& sources);

// The same from the sources in use: the system's, unless tests named others.
std::uint64_t MemoryAtHand();
void SetMemorySources(const MemorySources& sources);

} // namespace files
