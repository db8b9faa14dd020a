#include "files/PcRecorder.h"

#include "files/RecordingFile.h"

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
    const QString target = QDir::cleanPath(targetPath);
    {
        // Finding out now that the target cannot be written saves the user a lost recording.
        QSaveFile probe(target);
        if (!probe.open(QIODevice::WriteOnly)) {
            fail(QStringLiteral("The file \"%1\" cannot be written: %2\nThe recording has not "
                                "started.")
                     .arg(QDir::toNativeSeparators(target), probe.errorString()));
            return false;
        }
        probe.cancelWriting();
    }

    m_file.setFileName(recordingFile());
    QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
    // Unbuffered: a line that does not fit on the disk fails in writeLine, not later.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
        !writeLine(RecordingStartText(m_clock.now(), intervalSeconds))) {
        const QString reason = m_file.errorString();
        m_file.close();
        fail(QStringLiteral("The recording file \"%1\" cannot be written: %2\nThe recording has "
                            "not started.")
                 .arg(QDir::toNativeSeparators(recordingFile()), reason));
        return false;
    }

    m_target = target;
    m_count = 0;
    m_writeFailed = false;
    m_recording = true;
    m_timer.start(static_cast<int>(std::clamp(intervalSeconds, 1LL, MaxIntervalSeconds) * 1000));
    Q_EMIT recordingChanged(true);
    return true;
}

void PcRecorder::sample()
{
    if (!m_recording || m_writeFailed)
        return;
    std::optional<Reading> reading = m_latestReading ? m_latestReading() : std::nullopt;
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

    const auto keep = [this](const QString& reason) {
        fail(QStringLiteral("The recording could not be saved to \"%1\": %2\nIts records stay "
                            "in \"%3\".")
                 .arg(QDir::toNativeSeparators(m_target), reason,
                      QDir::toNativeSeparators(recordingFile())));
        return false;
    };
    QFile source(recordingFile());
    if (!source.open(QIODevice::ReadOnly))
        return keep(source.errorString());
    const QByteArray recorded = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return keep(source.errorString());
    source.close();

    QSaveFile target(m_target);
    const QByteArray text = CopyWithTotal(recorded, m_count);
    // Unbuffered, so that a full disk shows as a short write before the commit.
    if (!target.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        target.write(text) != text.size() || !target.commit())
        return keep(target.errorString());
    return true;
}

} // namespace files
