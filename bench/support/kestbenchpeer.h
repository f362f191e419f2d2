// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHPEER_H
#define KESTBENCHPEER_H

#include <QProcess>
#include <QStringList>

/*
 * The remote side of a benchmark: a kest-bench-peer process on the program's bus, which owns
 * renderer and source names, answers their calls, delivers browse and query rows and exports
 * a playlist model (see bench/peer/main.cpp for the arguments).
 */
class KestBenchPeer
{
public:
    KestBenchPeer() = default;
    ~KestBenchPeer();

    //! Owns \a renderers renderer names "com.zorvo.kest.renderer.bench.r<i>" and as many sources ".s<i>".
    static QStringList componentArguments(int renderers, int sources);

    //! Starts the peer and waits until it owns all its names.
    bool start(const QStringList &arguments);
    //! Kills the peer at once, as a crash or an exit would end it: the bus releases its names.
    void kill();
    //! Stops the process (SIGSTOP) or lets it go on (SIGCONT): stopped, it answers nothing.
    void setStopped(bool stopped);

private:
    QProcess m_process;
};

#endif
