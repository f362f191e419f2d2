// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHQTDEFAULTLOGGING_H
#define KESTBENCHQTDEFAULTLOGGING_H

/*
 * While it lives, the logging rules are Qt's defaults, as in an application that never set
 * QT_LOGGING_RULES, and what the messages print goes to /dev/null, the cheapest place they
 * could go. Afterwards the library's debug traces are off again.
 */
class KestBenchQtDefaultLogging
{
public:
    KestBenchQtDefaultLogging();
    ~KestBenchQtDefaultLogging();

private:
    int m_stderr;
};

#endif
