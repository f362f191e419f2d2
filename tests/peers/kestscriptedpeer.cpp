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

    QDBusConnection bus = QDBusConnection::sessionBus();
    KestPeerControl peer;
    if (!bus.isConnected() || !peer.registerOn(bus)) {
        std::fprintf(stderr, "kest-scripted-peer: no session bus\n");
        return 1;
    }
    const QStringList paths = parser.values(serve);
    for (const QString &path : paths) {
        if (!peer.Serve(path)) {
            std::fprintf(stderr, "kest-scripted-peer: cannot serve %s\n", qPrintable(path));
            return 1;
        }
    }
    const QStringList names = parser.values(name) + parser.values(control);
    for (const QString &busName : names) {
        if (!peer.RequestName(busName)) {
            std::fprintf(stderr, "kest-scripted-peer: cannot own %s\n", qPrintable(busName));
            return 1;
        }
    }
    return app.exec();
}
