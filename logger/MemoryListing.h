#pragma once

#include "link/MeterSequence.h"
#include "logger/MemoryProtocol.h"
#include "logger/ReportTransfer.h"

#include <QString>
#include <functional>
#include <vector>

namespace logger {

// The memory status and the start times of the sets the directory lists, as the meter reported
// them at one moment.
struct MemoryListing
{
    MemoryStatus status;
    std::vector<QString> times;
};

// The directory of `sets` sets, asked for in the running sequence: their start times.
ReportTransfer::Outcome ReadDirectory(meterlink::MeterSequence& sequence, int sets,
                                      std::vector<QString>& times,
                                      const ReportTransfer::Progress& progress);
// The memory status, then the directory, unless the memory holds no set or `wantSets` (when
// given) turns the status down: then only the status is read.
ReportTransfer::Outcome ReadListing(meterlink::MeterSequence& sequence, MemoryListing& listing,
                                    const ReportTransfer::Progress& progress,
                                    const std::function<bool(const MemoryStatus&)>& wantSets = {});

// What the memory holds in `now` that it did not in `before`, for the user: the sets listed
// beyond those of `before`, or a general word when only the status differs. Empty when the two
// agree.
QString ListingChange(const MemoryListing& before, const MemoryListing& now);

} // namespace logger
