#include "files/PcRecorder.h"
#include "files/SharedData.h"
#include "link/MeterCommands.h"
#include "link/MeterLink.h"
#include "link/platform/HidapiPlatform.h"
#include "logger/LoggerCommands.h"
#include "panel/PanelWindow.h"
#include "ui/Clock.h"
#include "ui/FixedPaths.h"
#include "ui/QtDialogs.h"
#include "ui/Services.h"
#include "ui/WorkingFiles.h"
#include "virtualmeter/VirtualMeter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

// Test hook of the kill tests, read only here: TELLARIX_AUTOSTART=record:<target> starts a
// recording into <target> and takes a sample every 10 ms, printing "record <n>" once record n
// is on the disk; download:<row> lists the meter's memory and downloads the set of that grid
// row, with the virtual meter slowed to 2 ms a report. Unset, the program is unchanged.
void runAutostart(panel::PanelWindow& panel, meterlink::platform::HidPlatform& platform)
{
    const QString request = qEnvironmentVariable("TELLARIX_AUTOSTART");
    const auto say = [](const QByteArray& line) {
        std::fputs(line.constData(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
    if (request.startsWith(QLatin1String("record:"))) {
        if (!panel.recorder().start(request.mid(7), 1))
            return;
        auto* driver = new QTimer(&panel);
        QObject::connect(driver, &QTimer::timeout, &panel, [&panel, say] {
            panel.PollMeter();
            const long long before = panel.recorder().recordCount();
            panel.recorder().sample();
            if (panel.recorder().recordCount() != before)
                say("record " + QByteArray::number(panel.recorder().recordCount()));
        });
        driver->start(10);
    } else if (request.startsWith(QLatin1String("download:"))) {
        if (auto* meter = dynamic_cast<virtualmeter::VirtualMeter*>(&platform))
            meter->setReportDelay(std::chrono::milliseconds(2));
        const int row = request.mid(9).toInt();
        QTimer::singleShot(0, &panel, [&panel, row, say] {
            panel.loggerCommands().Listing();
            say("download running");
            panel.loggerCommands().GridSet_Click(row);
            say("download done");
        });
    }
}

// The options of the program; `demo` is set to the --demo option.
void describeOptions(QCommandLineParser& parser, QCommandLineOption& demo)
{
    parser.setApplicationDescription(
        QStringLiteral("Companion program of the 582 chromaticity and illuminance meter."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(demo);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A recording to open in the plot window."),
                                 QStringLiteral("[file]"));
}

// Whether a window can be shown. Without one QApplication aborts, so the program says so first.
bool displayAvailable(const QStringList& arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // A platform or display named on the command line is QApplication's to try.
    for (const QString& argument : arguments) {
        for (const char* option : {"-platform", "--platform", "-display", "--display"}) {
            if (argument.startsWith(QLatin1String(option)))
                return true;
        }
    }
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool windowSystem = platform.isEmpty() || platform.startsWith(QLatin1String("xcb")) ||
                              platform.startsWith(QLatin1String("wayland"));
    return !windowSystem || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    Q_UNUSED(arguments);
    return true;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Tellarix 582"));
    QCoreApplication::setApplicationVersion(QStringLiteral("8.01"));
    QCommandLineParser parser;
    QCommandLineOption demo(QStringLiteral("demo"),
                            QStringLiteral("Use the built-in virtual meter instead of USB."));
    describeOptions(parser, demo);

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Help and version need no window; nor does saying that there is no display.
    const bool parsed = parser.parse(arguments);
    const bool textOnly =
        parsed && (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version")));
    if (textOnly || !displayAvailable(arguments)) {
        QCoreApplication core(argc, argv);
        parser.process(core);
        std::fputs("tellarix582: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set); start it in a desktop session.\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    parser.process(app);

    std::unique_ptr<meterlink::platform::HidPlatform> platform;
    if (parser.isSet(demo))
        platform = std::make_unique<virtualmeter::VirtualMeter>();
    else
        platform = std::make_unique<meterlink::platform::HidapiPlatform>(
            meterlink::meter::VendorId, meterlink::meter::ProductId);

    meterlink::MeterLink link(*platform);
    meterlink::SequenceRunner runner(link);
    ui::QtDialogs dialogs;
    const ui::SystemClock clock;
    const ui::FixedPaths paths = ui::FixedPaths::forUser();
    // Held for the whole run: one instance per user owns the working files.
    const std::unique_ptr<QLockFile> workingFiles = ui::TakeWorkingFiles(paths, dialogs);
    if (!workingFiles)
        return 1;
    files::PlotData plot;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, runner, dialogs, clock, paths, plot, fileState, cmd};

    panel::PanelWindow panel(services);
    dialogs.setParent(&panel);
    panel.show();
    runAutostart(panel, *platform);
    // A data file named on the command line (a file manager opening a recording) opens as
    // "Open" would open it.
    if (const QStringList named = parser.positionalArguments(); !named.isEmpty())
        panel.openDataFile(named.constFirst());
    return QApplication::exec();
}
