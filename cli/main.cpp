#include "cli/Cli.h"
#include "link/MeterCommands.h"
#include "link/platform/HidapiPlatform.h"
#include "virtualmeter/VirtualMeter.h"

#include <QCoreApplication>
#include <iostream>
#include <memory>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // No window and no display: the client runs on a server as well as in a terminal.
    QCoreApplication app(argc, argv);
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
