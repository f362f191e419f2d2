// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchqtdefaultlogging.h"

#include "kestbench.h"

#include <QLoggingCategory>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

KestBenchQtDefaultLogging::KestBenchQtDefaultLogging()
{
    QLoggingCategory::setFilterRules(QString());
    std::fflush(stderr);
    m_stderr = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    close(null);
}

KestBenchQtDefaultLogging::~KestBenchQtDefaultLogging()
{
    std::fflush(stderr);
    dup2(m_stderr, STDERR_FILENO);
    close(m_stderr);
    KestBench::silenceTraces();
}
