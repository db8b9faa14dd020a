// The program as the kill tests run it: built like --demo from the same libraries, with one job
// named on the command line.
//   record <target>  starts a recording into <target> and takes a sample every 10 ms, printing
//                    "record <n>" once record n is on the disk;
//   download <row>   lists the meter's memory and downloads the set of that grid row, with the
//                    virtual meter slowed to 2 ms a report.
#include "app/Program.h"
#include "files/PcRecorder.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "ui/QtDialogs.h"
#include "ui/WorkingFiles.h"
#include "virtualmeter/VirtualMeter.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

void Say(const QByteArray& line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    const QString job = arguments[1];

    virtualmeter::VirtualMeter meter;
    ui::QtDialogs dialogs;
    const ui::SystemClock clock;
    // The user's places, but the lock in the working folder: kill tests may run side by side.
    const ui::FixedPaths user = ui::FixedPaths::forUser();
    const ui::FixedPaths paths(user.root(), QFileInfo(user.backupsFolder()).absolutePath());
    const std::unique_ptr<ui::InstanceLock> workingFiles = ui::TakeWorkingFiles(paths, dialogs);
    if (!workingFiles)
        return 1;
    app::Program program({meter, dialogs, clock, paths});
    dialogs.setParent(&program.panel());
    program.panel().show();

    QTimer driver;
    if (job == QLatin1String("record")) {
        if (!program.recorder().start(arguments[2], 1))
            return 1;
        QObject::connect(&driver, &QTimer::timeout, [&program] {
            program.panel().pollMeter();
            const long long before = program.recorder().recordCount();
            program.recorder().sample();
            if (program.recorder().recordCount() != before)
                Say("record " + QByteArray::number(program.recorder().recordCount()));
        });
        driver.start(10);
    } else if (job == QLatin1String("download")) {
        meter.setReportDelay(std::chrono::milliseconds(2));
        const int row = arguments[2].toInt();
        QTimer::singleShot(0, &program.panel(), [&program, row] {
            program.logger().listMemory();
            Say("download running");
            program.logger().downloadSet(row);
            Say("download done");
        });
    } else {
        return 2;
    }
    return QApplication::exec();
}
