// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A remote component for the tests: owns the bus names and serves the object paths given on
// the command line, and does whatever the test scripts through its control object.
//
//   kest-scripted-peer [--name NAME]... [--serve PATH]... --control NAME

#include "kestpeercontrol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    for (const char *option : {"name", "serve", "control"})
        parser.addOption({QLatin1String(option), QString(), QStringLiteral("value")});
    parser.process(app);

    KestPeerControl peer;
    bool ready = peer.registerOn(QDBusConnection::sessionBus());
    const QStringList paths = parser.values(QStringLiteral("serve"));
    for (const QString &path : paths)
        ready = ready && peer.serve(path);
    const QStringList names = parser.values(QStringLiteral("name")) + parser.values(QStringLiteral("control"));
    for (const QString &busName : names)
        ready = ready && peer.RequestName(busName);
    if (!ready) {
        std::fprintf(stderr, "kest-scripted-peer: cannot serve %s or own %s\n",
                     qPrintable(paths.join(QLatin1Char(' '))), qPrintable(names.join(QLatin1Char(' '))));
        return 1;
    }
    return app.exec();
}
