#include "files/SharedData.h"
#include "link/MeterLink.h"
#include "link/platform/HidapiPlatform.h"
#include "panel/PanelWindow.h"
#include "ui/Clock.h"
#include "ui/FixedPaths.h"
#include "ui/QtDialogs.h"
#include "ui/Services.h"
#include "virtualmeter/VirtualMeter.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellarix 582"));
    QApplication::setApplicationVersion(QStringLiteral("8.01"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Companion program of the 582 chromaticity and illuminance meter."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Use the built-in virtual meter instead of USB."));
    parser.addOption(demo);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A recording to open in the plot window."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    std::unique_ptr<meterlink::platform::HidPlatform> platform;
    if (parser.isSet(demo))
        platform = std::make_unique<virtualmeter::VirtualMeter>();
    else
        platform = std::make_unique<meterlink::platform::HidapiPlatform>();

    meterlink::MeterLink link(*platform);
    ui::QtDialogs dialogs;
    const ui::SystemClock clock;
    const ui::FixedPaths paths = ui::FixedPaths::forUser();
    files::PlotData plot;
    files::FileState fileState;
    ui::FileDialogState cmd;
    ui::Services services{link, dialogs, clock, paths, plot, fileState, cmd};

    panel::PanelWindow panel(services);
    dialogs.setParent(&panel);
    panel.show();
    // A data file named on the command line (a file manager opening a recording) opens as
    // "Open" would open it.
    if (const QStringList named = parser.positionalArguments(); !named.isEmpty())
        panel.openDataFile(named.constFirst());
    return QApplication::exec();
}
