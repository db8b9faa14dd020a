#include "files/PlotDocument.h"

namespace files {

void PlotDocument::open(RecordTable records, const QString& name, RecordSource source)
{
    m_records = std::move(records);
    m_range = {1, static_cast<double>(m_records.count())};
    m_name = name;
    m_source = std::move(source);
    Q_EMIT recordsReplaced();
}

bool PlotDocument::setRange(RecordRange range)
{
    if (range == m_range)
        return false;
    m_range = range;
    Q_EMIT rangeChanged();
    return true;
}

} // namespace files
