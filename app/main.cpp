#include "app/Program.h"
#include "panel/PanelWindow.h"
#include "ui/Clock.h"
#include "ui/FixedPaths.h"
#include "ui/QtDialogs.h"
#include "ui/Settings.h"
#include "ui/WorkingFiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

namespace {

// The options of the program; `demo` and `reset` are set to the --demo and --reset-settings
// options.
void DescribeOptions(QCommandLineParser& parser, QCommandLineOption& demo,
                     QCommandLineOption& reset)
{
    parser.setApplicationDescription(
        QStringLiteral("Companion program of the 582 chromaticity and illuminance meter."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(demo);
    parser.addOption(reset);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A recording to open in the plot window."),
                                 QStringLiteral("[file]"));
}

// Whether a window can be shown. Without one QApplication aborts, so the program says so first.
bool DisplayAvailable(const QStringList& arguments)
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
    QCoreApplication::setOrganizationName(QStringLiteral("tellarix582"));
    QCoreApplication::setApplicationName(QStringLiteral("Tellarix 582"));
    QCoreApplication::setApplicationVersion(app::ProgramVersion());
    QCommandLineParser parser;
    QCommandLineOption demo(QStringLiteral("demo"),
                            QStringLiteral("Use the built-in virtual meter instead of USB."));
    QCommandLineOption reset(QStringLiteral("reset-settings"),
                             QStringLiteral("Forget the window places, regions, meter, folders "
                                            "and PC sampling time kept from earlier runs."));
    DescribeOptions(parser, demo, reset);

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Help and version need no window; nor does saying that there is no display.
    const bool parsed = parser.parse(arguments);
    // Forgotten before anything could read them, also when no window can be shown.
    if (parsed && parser.isSet(reset))
        ui::Settings().clear();
    const bool textOnly =
        parsed && (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version")));
    if (textOnly || !DisplayAvailable(arguments)) {
        QCoreApplication core(argc, argv);
        parser.process(core);
        std::fputs("tellarix582: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set); start it in a desktop session.\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    parser.process(app);

    const auto platform = app::OpenPlatform(parser.isSet(demo));
    ui::QtDialogs dialogs;
    const ui::SystemClock clock;
    const ui::FixedPaths paths = ui::FixedPaths::forUser();
    // Held for the whole run: one instance per user owns the working files.
    const std::unique_ptr<ui::InstanceLock> workingFiles = ui::TakeWorkingFiles(paths, dialogs);
    if (!workingFiles)
        return 1;

    app::Program program({*platform, dialogs, clock, paths});
    dialogs.setParent(&program.panel());
    program.panel().show();
    // A data file named on the command line (a file manager opening a recording) opens as
    // "Open" would open it.
    if (const QStringList named = parser.positionalArguments(); !named.isEmpty())
        program.openDataFile(named.constFirst());
    return QApplication::exec();
}
