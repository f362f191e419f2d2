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
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("Bus name to own."), QStringLiteral("name"));
    const QCommandLineOption serve(QStringLiteral("serve"), QStringLiteral("Object path to serve."),
                                   QStringLiteral("path"));
    const QCommandLineOption control(QStringLiteral("control"),
                                     QStringLiteral("Bus name owned last, once everything is in place."),
                                     QStringLiteral("name"));
    parser.addOptions({name, serve, control});
    parser.process(app);

    KestPeerControl peer;
    bool ready = peer.registerOn(QDBusConnection::sessionBus());
    const QStringList paths = parser.values(serve);
    for (const QString &path : paths)
        ready = ready && peer.serve(path);
    const QStringList names = parser.values(name) + parser.values(control);
    for (const QString &busName : names)
        ready = ready && peer.RequestName(busName);
    if (!ready) {
        std::fprintf(stderr, "kest-scripted-peer: cannot serve %s or own %s\n",
                     qPrintable(paths.join(QLatin1Char(' '))), qPrintable(names.join(QLatin1Char(' '))));
        return 1;
    }
    return app.exec();
}
