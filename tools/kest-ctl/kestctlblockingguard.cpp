// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlblockingguard.h"

#include "kestctlexitstatus.h"

#include <QByteArray>

#include <csignal>
#include <cstring>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Prepared before the timer runs: the signal handler may only write it out.
char g_message[512];
size_t g_length = 0;

void setTimer(int milliseconds)
{
    itimerval timer = {};
    timer.it_value.tv_sec = milliseconds / 1000;
    timer.it_value.tv_usec = (milliseconds % 1000) * 1000;
    setitimer(ITIMER_REAL, &timer, nullptr);
}

} // namespace

KestCtlBlockingGuard::KestCtlBlockingGuard(const QString &message, int timeout)
{
    const QByteArray text = "kest-ctl: " + message.toUtf8().left(int(sizeof g_message) - 12) + '\n';
    std::memcpy(g_message, text.constData(), size_t(text.size()));
    g_length = size_t(text.size());

    struct sigaction action = {};
    action.sa_handler = &KestCtlBlockingGuard::expire;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    setTimer(timeout);
}

KestCtlBlockingGuard::~KestCtlBlockingGuard()
{
    setTimer(0);
    std::signal(SIGALRM, SIG_DFL);
}

void KestCtlBlockingGuard::expire(int)
{
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, g_message, g_length);
    ::_exit(ExitNoAnswer);
}
