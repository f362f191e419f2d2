// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlsignalnotifier.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the handler, read by the notifier.
int g_sockets[2] = {-1, -1};

const int WatchedSignals[] = {SIGINT, SIGTERM};

} // namespace

KestCtlSignalNotifier::KestCtlSignalNotifier(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sockets) != 0)
        return;
    m_notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &KestCtlSignalNotifier::readSignal);

    struct sigaction action = {};
    action.sa_handler = &KestCtlSignalNotifier::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : WatchedSignals)
        sigaction(signal, &action, nullptr);
}

KestCtlSignalNotifier::~KestCtlSignalNotifier()
{
    if (!m_notifier)
        return;
    for (int signal : WatchedSignals)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    ::close(g_sockets[0]);
    ::close(g_sockets[1]);
    g_sockets[0] = g_sockets[1] = -1;
}

void KestCtlSignalNotifier::handle(int signal)
{
    const char number = char(signal);
    // Nothing to do when the pipe is full: a signal is pending already.
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &number, 1);
}

void KestCtlSignalNotifier::readSignal()
{
    char number = 0;
    if (::read(g_sockets[1], &number, 1) == 1)
        Q_EMIT interrupted(int(number));
}
