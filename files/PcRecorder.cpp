#include "files/PcRecorder.h"

#include "files/RecordingFile.h"
#include "files/SaveDialog.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

constexpr long long MaxIntervalSeconds = 86400;

// The target the user chose, as they named it: a link there is replaced at the stop, never
// followed.
QString ChosenTarget(const QString& chosen)
{
    return QDir::cleanPath(chosen);
}

QString NameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

// Hands what the file has buffered to the disk itself, so that a crash or power loss keeps
// every record written so far.
bool syncToDisk(QFile& file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}

} // namespace

PcRecorder::PcRecorder(const ui::Clock& clock, const ui::FixedPaths& paths, ui::Dialogs& dialogs,
                       ReadingSource latestReading, QObject* parent)
    : QObject(parent), m_clock(clock), m_paths(paths), m_dialogs(dialogs),
      m_latestReading(std::move(latestReading))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PcRecorder::sample);
}

PcRecorder::~PcRecorder() = default;

QString PcRecorder::recordingFile() const
{
    return m_paths.recordingTemp();
}

void PcRecorder::fail(const QString& text)
{
    m_dialogs.message(text, ui::MsgButtons::Ok, ui::MsgIcon::Critical);
}

bool PcRecorder::writeLine(const QByteArray& bytes)
{
    const qint64 before = m_file.size();
    // The system's reason is taken before the cut-back, which forgets it.
    if (m_file.write(bytes) != bytes.size())
        // A short write (a full disk) leaves the file's own error unset.
        m_writeError =
            m_file.error() != QFileDevice::NoError ? m_file.errorString() : qt_error_string(errno);
    else if (!syncToDisk(m_file))
        m_writeError = qt_error_string(errno);
    else
        return true;
    // A full disk may have taken part of the line: cut it off, so that the file keeps whole
    // lines only.
    m_file.resize(before);
    return false;
}

bool PcRecorder::start(const QString& targetPath, long long intervalSeconds)
{
    if (m_recording)
        return false;
    const QString target = ChosenTarget(targetPath);
    const ui::FileIdentity seen = ui::IdentifyFile(target);
    // Finding out now that the target cannot be written saves the user a lost recording.
    const QString unwritable = seen.kind == ui::FileIdentity::Kind::Other
                                   ? QStringLiteral("it is not a regular file")
                                   : ui::CheckSavable(target);
    if (!unwritable.isEmpty()) {
        fail(QStringLiteral("The file \"%1\" cannot be written: %2\nThe recording has not "
                            "started.")
                 .arg(QDir::toNativeSeparators(target), unwritable));
        return false;
    }
    if (m_unsaved && !keepAside())
        return false;

    const ui::FolderResult folder = m_paths.working();
    QString reason = folder.problem;
    if (folder.ok())
        ::unlinkat(folder.folder.fd(), QFile::encodeName(NameOf(savedMarker())).constData(), 0);
    // Unbuffered: a line that does not fit on the disk fails in writeLine, not later. Read and
    // write: the stop reads the records back through the same handle.
    if (!folder.ok() ||
        !ui::OpenFresh(m_file, folder.folder, NameOf(recordingFile()),
                       QIODevice::ReadWrite | QIODevice::Unbuffered, reason) ||
        !writeLine(RecordingStartText(m_clock.now(), intervalSeconds))) {
        if (reason.isEmpty())
            reason = m_writeError;
        m_file.close();
        fail(QStringLiteral("The recording file \"%1\" cannot be written: %2\nThe recording has "
                            "not started.")
                 .arg(QDir::toNativeSeparators(recordingFile()), reason));
        return false;
    }

    m_target = target;
    m_targetSeen = seen;
    m_count = 0;
    m_leftOut = 0;
    m_writeFailed = false;
    m_recording = true;
    m_unsaved = true;
    m_timer.start(static_cast<int>(std::clamp(intervalSeconds, 1LL, MaxIntervalSeconds) * 1000));
    Q_EMIT recordingChanged(true);
    Q_EMIT leftOutChanged(0);
    return true;
}

void PcRecorder::sample()
{
    if (!m_recording || m_writeFailed)
        return;
    const LiveSample live = m_latestReading ? m_latestReading() : LiveSample();
    if (live.leftOut)
        Q_EMIT leftOutChanged(++m_leftOut);
    std::optional<Reading> reading = live.reading;
    if (!reading)
        return;
    const QDateTime now = m_clock.now();
    reading->year = now.date().year();
    reading->month = now.date().month();
    reading->day = now.date().day();
    reading->hour = now.time().hour();
    reading->minute = now.time().minute();
    reading->second = now.time().second();
    if (!writeLine(QByteArray::fromStdString(RecordLine(*reading)) + "\r\n")) {
        // One message, not one per sample; what is on the disk is kept for the stop.
        m_writeFailed = true;
        fail(QStringLiteral("The recording file \"%1\" cannot be written: %2\nThe %3 records "
                            "taken so far are kept; stop the recording to save them.")
                 .arg(QDir::toNativeSeparators(recordingFile()), m_writeError)
                 .arg(m_count));
        return;
    }
    ++m_count;
    Q_EMIT recordWritten(m_count);
}

bool PcRecorder::stop()
{
    if (!m_recording)
        return false;
    m_timer.stop();
    m_recording = false;
    Q_EMIT recordingChanged(false);
    // The target is made from the records read back in blocks through the handle they were
    // written by: the stop holds no copy of the recording, however long it ran.
    const qint64 size = m_file.size();
    m_unsaved = !save();
    m_file.close();
    if (!m_unsaved) {
        markSaved(size);
        Q_EMIT saved(m_target, m_count);
    }
    return !m_unsaved;
}

QString PcRecorder::savedMarker() const
{
    return recordingFile() + QStringLiteral(".saved");
}

void PcRecorder::markSaved(qint64 size)
{
    // The recording file stays in place after a stop; the marker tells the next start-up that
    // its records reached their target, so they need not be kept aside.
    QString reason;
    if (const ui::FolderResult folder = m_paths.working(); folder.ok())
        ui::SaveWhole(folder.folder, NameOf(savedMarker()), QByteArray::number(size), reason);
}

bool PcRecorder::savedBefore(const ui::Folder& folder, qint64 size) const
{
    QFile marker;
    QString reason;
    return ui::OpenToRead(marker, folder, NameOf(savedMarker()), reason) &&
           marker.read(32) == QByteArray::number(size);
}

bool PcRecorder::keep(const QString& target, const QString& reason)
{
    fail(QStringLiteral("The recording could not be saved to \"%1\": %2\nIts records stay in "
                        "\"%3\".")
             .arg(QDir::toNativeSeparators(target), reason,
                  QDir::toNativeSeparators(recordingFile())));
    return false;
}

bool PcRecorder::save()
{
    QString path = m_target;
    ui::FileIdentity seen = m_targetSeen;
    const ui::SaveWriter copy = [this](QIODevice& target, QString& error) {
        return m_file.seek(0) && CopyWithTotal(m_file, target, m_count, error);
    };
    for (;;) {
        QString reason;
        switch (ui::Save(path, copy, seen, reason)) {
        case ui::SaveOutcome::Saved:
            m_target = path;
            return true;
        case ui::SaveOutcome::Failed:
            return keep(path, reason);
        case ui::SaveOutcome::NameChanged:
            break;
        }
        // Someone put something else under the name since the start (a link to another file,
        // say): writing there would write into whatever they chose.
        m_dialogs.message(QStringLiteral("\"%1\" was changed by someone else while the recording "
                                         "ran, so the recording is not saved there. Choose "
                                         "another name for it.")
                              .arg(QDir::toNativeSeparators(path)),
                          ui::MsgButtons::Ok, ui::MsgIcon::Exclamation);
        ui::FileDialogState dialog;
        dialog.fileName = RecordingDialogName(QString(), m_paths);
        const std::optional<QString> chosen = ShowRecordingDialog(m_dialogs, dialog);
        if (!chosen)
            return keep(path, QStringLiteral("no other name was chosen"));
        path = ChosenTarget(*chosen);
        seen = ui::IdentifyFile(path);
    }
}

bool PcRecorder::stopForClose()
{
    if (!m_recording)
        return true;
    if (m_dialogs.message(QStringLiteral("A recording is running. Stop it and save it to \"%1\" "
                                         "before the program closes?\nChoose Cancel to keep "
                                         "recording.")
                              .arg(QDir::toNativeSeparators(m_target)),
                          ui::MsgButtons::OkCancel, ui::MsgIcon::Question) != ui::MsgAnswer::Ok)
        return false;
    stop();
    return true;
}

bool PcRecorder::keepAside()
{
    const QString path = recordingFile();
    const QString name = NameOf(path);
    const ui::FolderResult folder = m_paths.working();
    struct stat info = {};
    if (!folder.ok() ||
        ::fstatat(folder.folder.fd(), QFile::encodeName(name).constData(), &info,
                  AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || info.st_size == 0 || savedBefore(folder.folder, info.st_size)) {
        m_unsaved = false;
        return true;
    }
    const QString stem = QFileInfo(path).completeBaseName() + QLatin1Char('-') +
                         m_clock.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside;
    int code = EEXIST;
    // Renamed in the folder held open, and never over a file that stands at the new name.
    for (int n = 1; code == EEXIST && n < 1000; ++n) {
        aside = n == 1 ? stem + QStringLiteral(".txt")
                       : stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt");
        code =
            ::renameat2(folder.folder.fd(), QFile::encodeName(name).constData(), folder.folder.fd(),
                        QFile::encodeName(aside).constData(), RENAME_NOREPLACE) == 0
                ? 0
                : errno;
    }
    if (code != 0) {
        m_unsaved = true;
        fail(QStringLiteral("The records of an earlier recording in \"%1\" cannot be kept aside: "
                            "%2\nNo recording can start until they are moved.")
                 .arg(QDir::toNativeSeparators(path), qt_error_string(code)));
        return false;
    }
    m_unsaved = false;
    m_dialogs.message(QStringLiteral("The records of an earlier recording, which may not have "
                                     "been saved, were kept as \"%1\".")
                          .arg(QDir::toNativeSeparators(folder.folder.filePath(aside))),
                      ui::MsgButtons::Ok, ui::MsgIcon::Information);
    return true;
}

} // namespace files
