// The data-file reader over any file contents. The file is read in blocks; the items it finds
// must be those of the whole text read at once, and a failed read leaves the plot data alone.
#include "files/DataFileReader.h"
#include "files/ItemReader.h"
#include "fuzz/FuzzInput.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string_view>

namespace {

const QString& scratchFile()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("data.txt"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Every item lies inside the text and the scanner always moves on.
    files::ItemScanner items(text);
    files::RecordCollector collector;
    bool more = true;
    while (!items.atEnd()) {
        const char* before = items.position();
        const std::string_view item = items.next();
        fuzzinput::check(items.position() > before);
        fuzzinput::check(item.data() >= text.data() &&
                         item.data() + item.size() <= text.data() + size);
        if (more)
            more = collector.add(item);
    }

    {
        QFile file(scratchFile());
        fuzzinput::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fuzzinput::check(file.write(reinterpret_cast<const char*>(data),
                                    static_cast<qint64>(size)) == static_cast<qint64>(size));
    }
    files::RecordTable records;
    records.append("marker", {}); // untouched unless the read succeeds
    const files::RecordTable before = records;
    const auto outcome = files::ReadDataFile(scratchFile(), records).outcome;
    if (outcome != files::ReadOutcome::Ok) {
        fuzzinput::check(records == before);
        fuzzinput::check(size == 0 || !collector.headerComplete());
        return 0;
    }
    fuzzinput::check(collector.headerComplete());
    fuzzinput::check(records == collector.records());
    for (std::size_t i = 1; i <= records.count(); ++i)
        fuzzinput::check(records.x(i).size() <= 7 && records.y(i).size() <= 7);
    return 0;
}
