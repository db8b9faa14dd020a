// The meter's memory answers: status, directory and set size, and the texts the `Memory`
// window takes back from its grid.
#include "fuzz/FuzzInput.h"
#include "logger/MemoryProtocol.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzinput::Reader in(data, size);
    const meterlink::Answer answer(in.bytes<meterlink::Report>());

    const logger::MemoryStatus status = logger::DecodeMemoryStatus(answer);
    fuzzinput::check(status.sets >= 0 && status.sets <= logger::MaxSets);
    const int percent = logger::UsedPercent(status);
    fuzzinput::check(percent >= 0 && percent <= 100);
    (void)logger::MemoryEmpty(status);
    fuzzinput::check(logger::CapacityText(status.capacity).endsWith(QStringLiteral(" MB")));
    fuzzinput::check(logger::CapacityBytes(status.capacity) / 1024 == status.capacity);

    const int reports = logger::DirectoryReports(status.sets);
    fuzzinput::check(reports >= 0 && reports * 64 >= status.sets * logger::EntryBytes);

    const std::uint64_t setSize = logger::DecodeSetSize(answer);
    fuzzinput::check(logger::DataReports(setSize) * 64 >= setSize);

    // The rest is the directory the meter sent; it may be shorter than the count promises.
    const std::size_t dirBytes = in.remaining() / 2;
    QByteArray directory;
    for (std::size_t i = 0; i < dirBytes; ++i)
        directory += static_cast<char>(in.byte());
    const auto times = logger::DecodeDirectory(directory, status.sets);
    fuzzinput::check(times.size() <= static_cast<std::size_t>(status.sets));
    for (const QString& digits : times) {
        fuzzinput::check(digits.size() == logger::StartTimeDigits);
        // The entry bytes come back from their digits for the unit-option command.
        const auto entry = logger::EntryFromText(digits);
        fuzzinput::check(logger::EntryText(entry.data()) == digits);
        fuzzinput::check(logger::StartTimeDisplay(digits).size() == 19);
    }

    // A grid cell or a set-size request from any text.
    const QString cell = in.restAsUtf8();
    const int set = logger::SetNumber(cell);
    fuzzinput::check(set >= 0 && set <= logger::MaxSets);
    for (const std::uint8_t digit : logger::RequestDigits(cell))
        fuzzinput::check(digit >= '0' && digit <= '9');
    (void)logger::EntryFromText(cell);
    (void)logger::StartTimeDisplay(cell);
    return 0;
}
