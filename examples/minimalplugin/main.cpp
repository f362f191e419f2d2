// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A minimal plugin process: the bus daemon starts it (see com.zorvo.kest.plugin.minimal.service.in)
// when an application activates the plugin "minimal"; it publishes one renderer and one source,
// which every application's tracker then finds, and serves until its bus goes away.

#include "minimalrenderer.h"
#include "minimalsource.h"

#include <kestplugincontrolinterface.h>
#include <kestshared.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    //! [components]
    MinimalRenderer renderer;
    MinimalSource source;
    // Nothing to do on activate: starting the process was the activation. A plugin that brings its
    // components up and down on demand overrides activate() and deactivate().
    KestPluginControlInterface control;
    //! [components]

    //! [publish]
    // Publishing needs the tracker started; this process tracks nothing.
    KestShared *shared = KestShared::instance();
    if (!shared->initialize({}) || !shared->publishRenderer(&renderer) || !shared->publishSource(&source)
        || !shared->publishPlugin(QStringLiteral("minimal"), &control))
        return 1;
    //! [publish]

    //! [serve]
    QTimer busWatch;
    QObject::connect(&busWatch, &QTimer::timeout, &app, [] {
        if (!QDBusConnection::sessionBus().isConnected())
            QCoreApplication::quit();
    });
    busWatch.start(1000);
    return app.exec();
    //! [serve]
}
