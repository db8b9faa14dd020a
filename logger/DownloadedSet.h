#pragma once

#include "files/PlotDocument.h"
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
    DownloadedSet(ui::Services& services, files::PlotDocument& document)
        : m_services(services), m_document(document)
    {
    }

    void keep(int number, const QString& digits, const QByteArray& text);
    void forget() { m_lastSet.reset(); }
    bool held() const { return m_lastSet.has_value(); }

    // "Plot": the set opened in the document, shown as "Open" shows a file.
    void plotSet();
    // "Save As…": the set as a data file the user names.
    void saveSet();
    // "Export CSV…": the set as CSV.
    void exportSet();
    // Shows the plot window once a set was opened in the document.
    void setPlotShower(std::function<void()> showPlot) { m_showPlot = std::move(showPlot); }

    static const QString NoRecordsText;

private:
    struct Set
    {
        int number = 0;
        QString digits;
        QByteArray text;
    };
    // The set's records; none, and the user told so, when it holds no record line.
    std::optional<files::RecordTable> recordsOfSet();
    // "2026-12-05_163905" for the set, for the file dialogs.
    QString setFileStem() const;

    ui::Services& m_services;
    files::PlotDocument& m_document;
    std::optional<Set> m_lastSet;
    std::function<void()> m_showPlot;
    ui::FileDialogState m_setDialog;
    ui::FileDialogState m_csvDialog;
};

} // namespace logger
