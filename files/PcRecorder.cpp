#include "files/PcRecorder.h"

#include "files/RecordingFile.h"
#include "files/SaveDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace files {

namespace {

constexpr long long MaxIntervalSeconds = 86400;

// The target the user chose. A link there, the user's own at this moment, is followed now, so
// that the save goes to the file it names and the name is checked again at the stop.
QString ChosenTarget(const QString& chosen)
{
    const QString path = QDir::cleanPath(chosen);
    if (ui::IdentifyFile(path).kind != ui::FileIdentity::Kind::Link)
        return path;
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

// Hands what the file has buffered to the disk itself, so that a crash or power loss keeps
// every record written so far.
bool syncToDisk(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
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
    if (m_file.write(bytes) == bytes.size() && syncToDisk(m_file))
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
    {
        // Finding out now that the target cannot be written saves the user a lost recording.
        QSaveFile probe(target);
        const bool regular = seen.kind == ui::FileIdentity::Kind::Absent ||
                             seen.kind == ui::FileIdentity::Kind::Regular;
        if (!regular || !probe.open(QIODevice::WriteOnly)) {
            fail(QStringLiteral("The file \"%1\" cannot be written: %2\nThe recording has not "
                                "started.")
                     .arg(QDir::toNativeSeparators(target),
                          regular ? probe.errorString()
                                  : QStringLiteral("it is not a regular file")));
            return false;
        }
        probe.cancelWriting();
    }
    if (m_unsaved && !keepAside())
        return false;

    QDir().mkpath(m_paths.root());
    QFile::remove(savedMarker());
    QString reason;
    // Unbuffered: a line that does not fit on the disk fails in writeLine, not later.
    if (!ui::OpenFresh(m_file, recordingFile(), QIODevice::Unbuffered, reason) ||
        !writeLine(RecordingStartText(m_clock.now(), intervalSeconds))) {
        if (reason.isEmpty())
            reason = m_file.errorString();
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
                 .arg(QDir::toNativeSeparators(recordingFile()), m_file.errorString())
                 .arg(m_count));
        return;
    }
    ++m_count;
}

bool PcRecorder::stop()
{
    if (!m_recording)
        return false;
    m_timer.stop();
    m_recording = false;
    m_file.close();
    Q_EMIT recordingChanged(false);

    QFile source(recordingFile());
    if (!source.open(QIODevice::ReadOnly))
        return keep(m_target, source.errorString());
    const QByteArray recorded = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return keep(m_target, source.errorString());
    source.close();
    m_unsaved = !save(CopyWithTotal(recorded, m_count));
    if (!m_unsaved)
        markSaved(recorded.size());
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
    QFile marker;
    QString reason;
    if (ui::OpenFresh(marker, savedMarker(), QIODevice::NotOpen, reason))
        marker.write(QByteArray::number(size));
}

bool PcRecorder::savedBefore(const QString& path) const
{
    if (ui::IdentifyFile(savedMarker()).kind != ui::FileIdentity::Kind::Regular)
        return false;
    QFile marker(savedMarker());
    return marker.open(QIODevice::ReadOnly) &&
           marker.read(32) == QByteArray::number(QFileInfo(path).size());
}

bool PcRecorder::keep(const QString& target, const QString& reason)
{
    fail(QStringLiteral("The recording could not be saved to \"%1\": %2\nIts records stay in "
                        "\"%3\".")
             .arg(QDir::toNativeSeparators(target), reason,
                  QDir::toNativeSeparators(recordingFile())));
    return false;
}

bool PcRecorder::save(const QByteArray& text)
{
    QString path = m_target;
    ui::FileIdentity seen = m_targetSeen;
    for (;;) {
        QString reason;
        switch (ui::SaveWhole(path, text, seen, reason)) {
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
        const std::optional<QString> chosen = ShowSaveDialog(m_dialogs, dialog);
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
    if (ui::IdentifyFile(path).kind != ui::FileIdentity::Kind::Regular ||
        QFileInfo(path).size() == 0 || savedBefore(path)) {
        m_unsaved = false;
        return true;
    }
    const QFileInfo info(path);
    const QString stem =
        info.dir().filePath(info.completeBaseName() + QLatin1Char('-') +
                            m_clock.now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString aside = stem + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt");
    QFile file(path);
    if (!file.rename(aside)) {
        m_unsaved = true;
        fail(QStringLiteral("The records of an earlier recording in \"%1\" cannot be kept aside: "
                            "%2\nNo recording can start until they are moved.")
                 .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    m_unsaved = false;
    m_dialogs.message(QStringLiteral("The records of an earlier recording, which may not have "
                                     "been saved, were kept as \"%1\".")
                          .arg(QDir::toNativeSeparators(aside)),
                      ui::MsgButtons::Ok, ui::MsgIcon::Information);
    return true;
}

} // namespace files
