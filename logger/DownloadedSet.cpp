#include "logger/DownloadedSet.h"

#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/FileCommands.h"
#include "logger/MemoryProtocol.h"
#include "logger/SetBackup.h"
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

void DownloadedSet::keep(int number, const QString& digits, const QByteArray& text,
                         const QString& file)
{
    m_lastSet = Set{number, digits, text, file};
}

QString DownloadedSet::setFileStem() const
{
    QStringList none;
    return QFileInfo(BackupFileName(m_lastSet->digits, none)).completeBaseName();
}

void DownloadedSet::plotSet()
{
    if (!m_lastSet)
        return;
    const QByteArray& text = m_lastSet->text;
    if (!files::ReadSetText({text.constData(), static_cast<std::size_t>(text.size())},
                            m_services.plot)) {
        m_services.dialogs.message(NoRecordsText, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    m_services.plot.SourcePath = m_lastSet->file;
    m_services.fileState.CurrentFileName =
        QStringLiteral("Set %1 %2").arg(m_lastSet->number).arg(StartTimeDisplay(m_lastSet->digits));
    if (m_showPlot)
        m_showPlot();
}

void DownloadedSet::saveSet()
{
    if (!m_lastSet)
        return;
    m_setDialog.filter = files::OpenDialogFilter();
    m_setDialog.filterIndex = 1;
    m_setDialog.overwritePrompt = true;
    m_setDialog.fileName = StartName(m_setDialog.fileName, setFileStem() + QStringLiteral(".txt"));
    if (!ui::AskSaveName(m_services.dialogs, m_setDialog) || m_setDialog.fileTitle.isEmpty())
        return;
    // Whole or not at all: a failure leaves an earlier file of that name as it was.
    QString reason;
    if (ui::SaveWhole(m_setDialog.fileName, m_lastSet->text + "\r\n", std::nullopt, reason) !=
        ui::SaveOutcome::Saved)
        m_services.dialogs.message(QStringLiteral("The set could not be saved as %1\n%2")
                                       .arg(QDir::toNativeSeparators(m_setDialog.fileName), reason),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

void DownloadedSet::exportSet()
{
    if (!m_lastSet)
        return;
    // A file of the column line alone would pass for an export.
    const QByteArray& text = m_lastSet->text;
    files::PlotData records;
    if (!files::ReadSetText({text.constData(), static_cast<std::size_t>(text.size())}, records)) {
        m_services.dialogs.message(NoRecordsText, ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        return;
    }
    m_csvDialog.filter = QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|");
    m_csvDialog.filterIndex = 1;
    m_csvDialog.overwritePrompt = true;
    m_csvDialog.fileName = StartName(m_csvDialog.fileName, setFileStem() + QStringLiteral(".csv"));
    if (!ui::AskSaveName(m_services.dialogs, m_csvDialog) || m_csvDialog.fileTitle.isEmpty())
        return;
    QString reason;
    if (!files::ExportRecordsCsv({text.constData(), static_cast<std::size_t>(text.size())},
                                 m_csvDialog.fileName, reason))
        m_services.dialogs.message(QStringLiteral("The CSV file could not be written: %1\n%2")
                                       .arg(QDir::toNativeSeparators(m_csvDialog.fileName), reason),
                                   ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
}

} // namespace logger
