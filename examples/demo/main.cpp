// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Demonstration of libqkest-shared on a private session bus: a plugin process hosting a renderer
// and a source, activated by the bus daemon, and a second application that shares a playlist.
// With --serve it brings them up and keeps them, and the bus, running until it is interrupted.

#include "kestdemo.h"
#include "kestdemobus.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    if (app.arguments().contains(QStringLiteral("--publish")))
        return KestDemo::runPublisher();

    KestDemoBus bus;
    if (!bus.start(QStringLiteral(KEST_DEMO_BUS_CONFIG))) {
        std::printf("Could not start a private dbus-daemon.\n");
        return 1;
    }
    std::printf("Private session bus at %s\n", qPrintable(bus.address()));
    KestDemo demo;
    if (app.arguments().contains(QStringLiteral("--serve")))
        return demo.serve(bus.address());
    return demo.run();
}
