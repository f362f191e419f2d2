// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The demonstration plugin process, started by the bus daemon when its plugin name is called.

#include "kestdemoplugin.h"

#include "kestbusnames_p.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    KestDemoPlugin plugin;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(KestBusNames::pluginPath(KestDemoPlugin::name()), &plugin, QDBusConnection::ExportAllSlots)
        || !bus.registerService(KestBusNames::pluginService(KestDemoPlugin::name()))) {
        std::fprintf(stderr, "kest-demo-plugin: cannot register on the bus\n");
        return 1;
    }
    // Ends with the demonstration's bus, which started it; Qt does not say when a bus goes away.
    QTimer busWatch;
    QObject::connect(&busWatch, &QTimer::timeout, &app, [&bus] {
        if (!bus.isConnected())
            QCoreApplication::quit();
    });
    busWatch.start(500);
    return app.exec();
}
