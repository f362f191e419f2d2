// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctloptions.h"

#include <QRegularExpression>

#include <cmath>

namespace {

const QString Description = QStringLiteral(
    "Lists, follows and drives the Kest media framework's components on the D-Bus session bus.\n"
    "\n"
    "Commands:\n"
    "  list [renderers|sources|playlists|plugins]\n"
    "  monitor [--count N]\n"
    "  renderer UUID play [URL [POSITION]] | pause | pause-at POSITION | resume | stop\n"
    "                | next | previous | goto INDEX | seek POSITION [absolute|relative]\n"
    "                | status | position | property NAME [VALUE] | media-info [KEY...]\n"
    "  source UUID browse OBJECT_ID [--keys K1,K2...] [--predicate P] [--offset N] [--count N]\n"
    "  source UUID query QUERY\n"
    "  source UUID property NAME\n"
    "  playlist ID show\n"
    "  plugin NAME activate|deactivate\n"
    "\n"
    "An empty OBJECT_ID (\"\") browses the source's root. Positions are in milliseconds.\n"
    "\n"
    "Exit status: 0 done, 1 the component answered with an error or the operation failed,\n"
    "2 usage error, 3 no such component on the bus, 4 no answer within the timeout,\n"
    "128 + N when ended by signal N (130 for Ctrl-C; monitor ends with 0).");

// Placeholder for a negative number among the arguments, which the parser would take for options.
const QString NegativeNumber = QStringLiteral("\x01%1");

// Longest accepted --timeout: a day, well within the range of a millisecond int.
const double MaxTimeout = 24 * 60 * 60;

} // namespace

KestCtlOptions::KestCtlOptions()
{
    m_parser.setApplicationDescription(Description);
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({
        {QStringLiteral("timeout"),
         QStringLiteral("Waits at most <seconds> for discovery, for a reply or for the next result (default 5)."),
         QStringLiteral("seconds")},
        {QStringLiteral("json"), QStringLiteral("Machine-readable output: JSON, or JSON Lines for streams.")},
        {QStringLiteral("verbose"), QStringLiteral("Shows the library's log messages on standard error.")},
        {QStringLiteral("count"), QStringLiteral("monitor: stop after <n> events; browse: ask for <n> rows."),
         QStringLiteral("n")},
        {QStringLiteral("keys"), QStringLiteral("browse: the metadata keys to fetch, separated by commas."),
         QStringLiteral("keys")},
        {QStringLiteral("predicate"), QStringLiteral("browse: the predicate to pass to the source."),
         QStringLiteral("predicate")},
        {QStringLiteral("offset"), QStringLiteral("browse: the index of the first row."), QStringLiteral("n")},
    });
    m_parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands above."),
                                   QStringLiteral("command [arguments]"));
    m_commandOptions = QStringList{QStringLiteral("count"), QStringLiteral("keys"), QStringLiteral("predicate"),
                                   QStringLiteral("offset")};
}

KestCtlOptions::Outcome KestCtlOptions::parse(const QStringList &arguments)
{
    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9]"));
    QStringList shielded;
    QStringList negatives;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (!optionsEnded && negativeNumber.match(argument).hasMatch()) {
            shielded << NegativeNumber.arg(negatives.size());
            negatives << argument;
        } else {
            shielded << argument;
        }
        optionsEnded = optionsEnded || argument == QLatin1String("--");
    }

    if (!m_parser.parse(shielded)) {
        m_error = m_parser.errorText();
        return UsageError;
    }
    if (m_parser.isSet(QStringLiteral("help")))
        return ShowHelp;
    if (m_parser.isSet(QStringLiteral("version")))
        return ShowVersion;

    if (m_parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        const double seconds = m_parser.value(QStringLiteral("timeout")).toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > MaxTimeout) {
            m_error = QStringLiteral("--timeout takes a number of seconds greater than 0");
            return UsageError;
        }
        m_timeout = qMax(1, int(std::lround(seconds * 1000)));
    }

    const QStringList positional = m_parser.positionalArguments();
    for (const QString &argument : positional)
        m_arguments << (argument.startsWith(QLatin1Char('\x01')) ? negatives.value(argument.mid(1).toInt()) : argument);
    if (m_arguments.isEmpty()) {
        m_error = QStringLiteral("no command given");
        return UsageError;
    }
    return Run;
}

QString KestCtlOptions::error() const
{
    return m_error;
}

QString KestCtlOptions::helpText() const
{
    return m_parser.helpText();
}

QString KestCtlOptions::command() const
{
    return m_arguments.value(0);
}

QStringList KestCtlOptions::arguments() const
{
    return m_arguments.mid(1);
}

int KestCtlOptions::timeout() const
{
    return m_timeout;
}

bool KestCtlOptions::json() const
{
    return m_parser.isSet(QStringLiteral("json"));
}

bool KestCtlOptions::verbose() const
{
    return m_parser.isSet(QStringLiteral("verbose"));
}

QStringList KestCtlOptions::commandOptions() const
{
    QStringList given;
    for (const QString &option : m_commandOptions) {
        if (m_parser.isSet(option))
            given << option;
    }
    return given;
}

QString KestCtlOptions::value(const QString &option) const
{
    return m_parser.value(option);
}
