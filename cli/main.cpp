#include "cli/Cli.h"
#include "link/MeterCommands.h"
#include "link/platform/HidapiPlatform.h"
#include "virtualmeter/VirtualMeter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace {

// The command is "report": the first argument that is neither an option nor the value of
// --meter.
bool DrawsPage(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--meter" || argument == "-meter") {
            ++i;
            continue;
        }
        if (!argument.starts_with('-'))
            return argument == "report";
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // No window and no display: the client runs on a server as well as in a terminal. The
    // report draws a page, which takes fonts: a GUI application on the offscreen platform.
    std::unique_ptr<QCoreApplication> app;
    if (DrawsPage(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("tellarix582"));
    QCoreApplication::setApplicationName(QStringLiteral("Tellarix 582"));
    QCoreApplication::setApplicationVersion(QStringLiteral("8.01"));

    std::unique_ptr<meterlink::platform::HidPlatform> platform;
    cli::SignalPacer pacer;
    const ui::SystemClock clock;
    const ui::FixedPaths paths = ui::FixedPaths::forUser();
    cli::Environment environment{
        [&platform](bool demo) -> meterlink::platform::HidPlatform& {
            if (demo)
                platform = std::make_unique<virtualmeter::VirtualMeter>();
            else
                platform = std::make_unique<meterlink::platform::HidapiPlatform>(
                    meterlink::meter::VendorId, meterlink::meter::ProductId);
            return *platform;
        },
        clock,
        paths,
        pacer,
        std::cout,
        std::cerr,
        ::isatty(STDIN_FILENO) == 1,
        &std::cin};
    return cli::Run(QCoreApplication::arguments(), environment);
}
