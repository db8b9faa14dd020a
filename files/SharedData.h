#pragma once

#include <QString>

#include <vector>

namespace files {

// The opened recording, as the plot window draws it. Records are numbered 1..RecordCount;
// index 0 of the arrays holds nothing.
struct PlotData
{
    int RecordCount = 0;
    std::vector<QString> RecordX{QString()};
    std::vector<QString> RecordY{QString()};
    double PlotFrom = 1;
    double PlotTo = 0;
    double PlotCount = 0;
    double DefaultAxisMin = 0;
    double DefaultAxisMax = 1;
};

// The current data file: its name as the plot caption shows it, and the outcome of the last
// save dialog.
struct FileState
{
    QString CurrentFileName;
    bool FileChosen = false;
};

} // namespace files
