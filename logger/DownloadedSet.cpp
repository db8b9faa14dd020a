#include "logger/DownloadedSet.h"

#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/FileCommands.h"
#include "logger/MemoryProtocol.h"
#include "logger/SetBackup.h"
#include "ui/SavePath.h"
#include "ui/WorkingFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace logger {

namespace {

// Where a file dialog of the set starts: the folder chosen last, else the documents folder.
QString StartName(const QString& last, const QString& name)
{
    const QString folder = last.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : QFileInfo(last).absolutePath();
    return QDir(folder).filePath(name);
}

} // namespace

const QString DownloadedSet::NoRecordsText = QStringLiteral("This set holds no record lines.");

void DownloadedSet::keep(int number, const QString& digits, const QByteArray& text)
{
    m_lastSet = Set{number, digits, text};
}

QString DownloadedSet::setFileStem() const
{
    QStringList none;
    return QFileInfo(BackupFileName(m_lastSet->digits, none)).completeBaseName();
}

std::optional<files::RecordTable> DownloadedSet::recordsOfSet()
{
    const QByteArray& text = m_lastSet->text;
    files::RecordTable records;
    if (!files::ReadSetText({text.constData(), static_cast<std::size_t>(text.size())}, records)) {
        m_services.dialogs.message(NoRecordsText, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return std::nullopt;
    }
    return records;
}

void DownloadedSet::plotSet()
{
    if (!m_lastSet)
        return;
    std::optional<files::RecordTable> records = recordsOfSet();
    if (!records)
        return;
    // The document keeps the text: the next download rewrites the file that holds it.
    m_document.open(
        std::move(*records),
        QStringLiteral("Set %1 %2").arg(m_lastSet->number).arg(StartTimeDisplay(m_lastSet->digits)),
        {{}, {}, m_lastSet->text});
    if (m_showPlot)
        m_showPlot();
}

void DownloadedSet::saveSet()
{
    if (!m_lastSet)
        return;
    m_setDialog.fileName = StartName(m_setDialog.fileName, setFileStem() + QStringLiteral(".txt"));
    const auto path = ui::AskSavePath(m_services.dialogs, m_setDialog, files::OpenDialogFilter());
    if (!path)
        return;
    // Whole or not at all: a failure leaves an earlier file of that name as it was.
    QString reason;
    if (ui::SaveWhole(*path, m_lastSet->text + "\r\n", std::nullopt, reason) !=
        ui::SaveOutcome::Saved)
        ui::ShowNotWritten(m_services.dialogs, QStringLiteral("The set"), *path, reason);
}

void DownloadedSet::exportSet()
{
    if (!m_lastSet)
        return;
    // A file of the column line alone would pass for an export.
    if (!recordsOfSet())
        return;
    const QByteArray& text = m_lastSet->text;
    m_csvDialog.fileName = StartName(m_csvDialog.fileName, setFileStem() + QStringLiteral(".csv"));
    const auto path =
        ui::AskSavePath(m_services.dialogs, m_csvDialog,
                        QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|"));
    if (!path)
        return;
    QString reason;
    if (!files::ExportRecordsCsv({text.constData(), static_cast<std::size_t>(text.size())}, *path,
                                 reason))
        ui::ShowNotWritten(m_services.dialogs, QStringLiteral("The CSV file"), *path, reason);
}

} // namespace logger
