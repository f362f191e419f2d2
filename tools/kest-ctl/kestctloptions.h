// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLOPTIONS_H
#define KESTCTLOPTIONS_H

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

/*
 * The command line of kest-ctl: the global options, the command name and what follows it.
 * Options may stand before or after the command; the options of one command (--count, --keys...)
 * are read here too and checked by the command itself.
 */
class KestCtlOptions
{
public:
    enum Outcome {
        Run,
        ShowHelp,
        ShowVersion,
        UsageError
    };

    KestCtlOptions();

    Outcome parse(const QStringList &arguments);
    QString error() const;
    QString helpText() const;

    QString command() const;
    //! The positional arguments after the command name.
    QStringList arguments() const;
    //! Milliseconds.
    int timeout() const;
    bool json() const;
    bool verbose() const;

    //! The command options given (without dashes), in the order they are declared.
    QStringList commandOptions() const;
    QString value(const QString &option) const;

private:
    QCommandLineParser m_parser;
    QStringList m_commandOptions;
    QStringList m_arguments;
    QString m_error;
    int m_timeout = 5000;
};

#endif
