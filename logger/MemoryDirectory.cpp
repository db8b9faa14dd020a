#include "logger/MemoryDirectory.h"

#include <algorithm>

namespace logger {

void MemoryDirectory::list(const MemoryListing& listing)
{
    m_status = listing.status;
    if (m_times.size() < listing.times.size())
        m_times.resize(listing.times.size());
    std::copy(listing.times.begin(), listing.times.end(), m_times.begin());
    Q_EMIT listed(listing);
}

void MemoryDirectory::clear()
{
    m_status = {m_status.capacity, m_status.capacity, 0};
    m_times.clear();
    Q_EMIT cleared();
}

QString MemoryDirectory::startTime(int set) const
{
    if (set < 1 || set > static_cast<int>(m_times.size()))
        return {};
    return m_times[static_cast<std::size_t>(set - 1)];
}

} // namespace logger
