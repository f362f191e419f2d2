// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The demonstration plugin process, started by the bus daemon when its plugin name is called.

#include "kestdemoplugin.h"

#include <kestshared.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Publishing needs the tracker started; a plugin tracks nothing.
    KestShared *shared = KestShared::instance();
    KestDemoPlugin plugin;
    if (!shared->initialize({}) || !shared->publishPlugin(KestDemoPlugin::name(), &plugin)) {
        std::fprintf(stderr, "kest-demo-plugin: cannot publish the plugin\n");
        return 1;
    }
    // Ends with the demonstration's bus, which started it; Qt does not say when a bus goes away.
    QTimer busWatch;
    QObject::connect(&busWatch, &QTimer::timeout, &app, [] {
        if (!QDBusConnection::sessionBus().isConnected())
            QCoreApplication::quit();
    });
    busWatch.start(500);
    return app.exec();
}
