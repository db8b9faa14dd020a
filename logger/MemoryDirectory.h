#pragma once

#include "logger/MemoryListing.h"

#include <QObject>
#include <QString>
#include <vector>

namespace logger {

// What the program knows of the meter's memory from its listings: the status of the last one
// and the start time of every set listed. It changes only through its functions, and says so;
// the Memory window redraws from it.
class MemoryDirectory : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // A listing read: its status, and the start times of sets 1 to N, which replace those listed
    // before. A set beyond N keeps the start time listed last for it, as an earlier list's row
    // still names it.
    void list(const MemoryListing& listing);
    // The memory was erased: no set is listed, all of the capacity is free.
    void clear();

    const MemoryStatus& status() const { return m_status; }
    // The 14 digits of set `set`; empty for a set never listed.
    QString startTime(int set) const;

Q_SIGNALS:
    // A listing arrived: its sets follow those listed before.
    void listed(const logger::MemoryListing& listing);
    void cleared();

private:
    MemoryStatus m_status;
    std::vector<QString> m_times; // set k at index k - 1
};

} // namespace logger
