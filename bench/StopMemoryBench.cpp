// Peak memory of stopping a long recording: the stop turns the recording file into its target,
// and the memory it takes for that should not grow with the recording. Prints the peak the stop
// added as a share of the recording's size.
#include "bench/BenchRecording.h"
#include "files/PcRecorder.h"
#include "ui/QuietDialogs.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

class SilentDialogs : public ui::QuietDialogs
{
public:
    ui::MsgAnswer message(const QString& text, ui::MsgButtons buttons, ui::MsgIcon icon,
                          const QString& title) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return QuietDialogs::message(text, buttons, icon, title);
    }
};

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    const ui::FixedPaths paths(dir.filePath(QStringLiteral("tellarix582")));
    SilentDialogs dialogs;
    const ui::SystemClock clock;
    files::PcRecorder recorder(clock, paths, dialogs, [] { return files::LiveSample{}; });
    if (!recorder.start(dir.filePath(QStringLiteral("target.txt")), 1))
        return 1;
    // The records go straight into the recording file: a sample a second would take days.
    QFile recording(recorder.recordingFile());
    if (!recording.open(QIODevice::Append))
        return 1;
    QByteArray block;
    for (int i = 0; i < records; ++i) {
        block += bench::RecordingLine(i);
        if (block.size() > (1 << 20)) {
            recording.write(block);
            block.clear();
        }
    }
    recording.write(block);
    const qint64 size = recording.size();
    recording.close();
    block = QByteArray();

    const long before = PeakKiB();
    if (!recorder.stop())
        return 1;
    const long added = PeakKiB() - before;
    std::printf("recording %.1f MiB, peak before the stop %.1f MiB, added by the stop %.1f MiB "
                "(%.2f of the recording)\n",
                static_cast<double>(size) / (1 << 20), static_cast<double>(before) / 1024,
                static_cast<double>(added) / 1024, static_cast<double>(added) * 1024 / size);
    return 0;
}
