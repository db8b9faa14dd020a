#pragma once

#include "ui/Services.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace logger {

// The set downloaded last, as the meter sent it, and what the Memory window does with it:
// "Plot", "Save As…" and "Export CSV…".
class DownloadedSet
{
public:
    explicit DownloadedSet(ui::Services& services) : m_services(services) {}

    // `file` is the working file that holds the set; empty when it could not be saved.
    void keep(int number, const QString& digits, const QByteArray& text, const QString& file);
    void forget() { m_lastSet.reset(); }
    bool held() const { return m_lastSet.has_value(); }

    // "Plot": the set into the shared plot data, shown as "Open" shows a file.
    void plotSet();
    // "Save As…": the set as a data file the user names.
    void saveSet();
    // "Export CSV…": the set as CSV.
    void exportSet();
    // Shows the plot window once a set was read into the plot data.
    void setPlotShower(std::function<void()> showPlot) { m_showPlot = std::move(showPlot); }

    static const QString NoRecordsText;

private:
    struct Set
    {
        int number = 0;
        QString digits;
        QByteArray text;
        QString file;
    };
    // "2026-12-05_163905" for the set, for the file dialogs.
    QString setFileStem() const;

    ui::Services& m_services;
    std::optional<Set> m_lastSet;
    std::function<void()> m_showPlot;
    ui::FileDialogState m_setDialog;
    ui::FileDialogState m_csvDialog;
};

} // namespace logger
