#pragma once

#include "files/RecordLine.h"
#include "ui/Clock.h"
#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"
#include "ui/WorkingFiles.h"

#include <QFile>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace files {

// What the live display gives one sample of a recording.
struct LiveSample
{
    // Nothing when no frame came since the last sample (no meter), or when it is left out.
    std::optional<Reading> reading;
    // The meter marked the frame invalid (taken in its set-up menu or in overload): no record,
    // and the sample is counted.
    bool leftOut = false;
};

// The recording on the PC. While it runs it owns the recording file (FixedPaths::
// recordingTemp) and the target path it was started with; nothing of it lives in the shared
// file state, so other commands cannot disturb it. Every PCInterval seconds it appends the
// latest live reading as a record line stamped with its own clock, and each line reaches the
// disk before the next sample. At the stop it saves the target as every file is saved (written
// beside its name, then renamed), so the target is complete or untouched; and only if the name
// still holds what it held at the start, so that nobody can redirect the save meanwhile.
class PcRecorder : public QObject
{
    Q_OBJECT
public:
    // The latest live reading for a sample.
    using ReadingSource = std::function<LiveSample()>;

    PcRecorder(const ui::Clock& clock, const ui::FixedPaths& paths, ui::Dialogs& dialogs,
               ReadingSource latestReading, QObject* parent = nullptr);
    ~PcRecorder() override;

    bool recording() const { return m_recording; }
    // A record could not be written (a full disk): the recording takes no more until its stop.
    bool writeFailed() const { return m_writeFailed; }
    // Records written so far (while recording) or by the last recording.
    long long recordCount() const { return m_count; }
    // Samples of the running (or last) recording that wrote no record because the meter marked
    // its frame invalid.
    long long leftOutCount() const { return m_leftOut; }
    QString targetPath() const { return m_target; }
    QString recordingFile() const;
    const ui::FixedPaths& paths() const { return m_paths; }

    // Starts a recording that will be saved to `targetPath`, sampling every `intervalSeconds`.
    // Shows a message and returns false, with nothing started, when the recording file or the
    // target cannot be written.
    bool start(const QString& targetPath, long long intervalSeconds);
    // Stops the recording and writes the target. When the target's name no longer holds what
    // it held at the start, asks for another name. Shows a message and returns false when the
    // recording cannot be saved; the recording file then stays in place with every record.
    bool stop();
    // Before the program closes: asks whether a running recording is to be stopped and saved,
    // and does so. False when the user would rather keep recording (the close is cancelled).
    bool stopForClose();
    // Moves a recording file whose records were never saved to a time-stamped name beside it,
    // so that the next recording cannot empty it, and tells the user where it is. Called at
    // start-up.
    // False, with a message, when it cannot be moved; no recording starts until it is.
    bool keepAside();
    // One sample: appends the latest reading. The timer calls it; tests call it directly.
    void sample();

Q_SIGNALS:
    void recordingChanged(bool on);
    void leftOutChanged(long long count);
    // A record reached the recording file; `count` records are in it now.
    void recordWritten(long long count);
    // The stop saved `count` records to `target`.
    void saved(const QString& target, long long count);

private:
    bool writeLine(const QByteArray& bytes);
    void fail(const QString& text);
    bool save();
    bool keep(const QString& target, const QString& reason);
    QString savedMarker() const;
    void markSaved(qint64 size);
    // The recording file of `size` bytes in `folder` is the one whose records the last stop
    // saved.
    bool savedBefore(const ui::Folder& folder, qint64 size) const;

    const ui::Clock& m_clock;
    const ui::FixedPaths& m_paths;
    ui::Dialogs& m_dialogs;
    ReadingSource m_latestReading;
    QTimer m_timer;
    QFile m_file;
    QString m_target;
    ui::FileIdentity m_targetSeen; // what the target's name held at the start
    bool m_recording = false;
    bool m_unsaved = false; // the recording file may hold records that were not saved
    bool m_writeFailed = false;
    long long m_count = 0;
    long long m_leftOut = 0;
    QString m_writeError; // the system's reason for the last write that failed
};

} // namespace files
