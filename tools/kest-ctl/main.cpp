// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

// kest-ctl: lists, follows and drives the Kest media framework's components on the session bus.

#include "kestctlexitstatus.h"
#include "kestctllistcommand.h"
#include "kestctlmonitorcommand.h"
#include "kestctloptions.h"
#include "kestctloutput.h"
#include "kestctlplaylistcommand.h"
#include "kestctlplugincommand.h"
#include "kestctlrenderercommand.h"
#include "kestctlsignalnotifier.h"
#include "kestctlsourcecommand.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "kest-ctl: %s\nTry 'kest-ctl --help' for more information.\n", qPrintable(message));
    return ExitUsage;
}

std::unique_ptr<KestCtlCommand> createCommand(const QString &name, KestCtlOutput &output, int timeout)
{
    if (name == QLatin1String("list"))
        return std::make_unique<KestCtlListCommand>(output, timeout);
    if (name == QLatin1String("monitor"))
        return std::make_unique<KestCtlMonitorCommand>(output, timeout);
    if (name == QLatin1String("renderer"))
        return std::make_unique<KestCtlRendererCommand>(output, timeout);
    if (name == QLatin1String("source"))
        return std::make_unique<KestCtlSourceCommand>(output, timeout);
    if (name == QLatin1String("playlist"))
        return std::make_unique<KestCtlPlaylistCommand>(output, timeout);
    if (name == QLatin1String("plugin"))
        return std::make_unique<KestCtlPluginCommand>(output, timeout);
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kest-ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KEST_CTL_VERSION));

    KestCtlOptions options;
    switch (options.parse(QCoreApplication::arguments())) {
    case KestCtlOptions::ShowHelp: std::fputs(qPrintable(options.helpText()), stdout); return ExitDone;
    case KestCtlOptions::ShowVersion: std::printf("kest-ctl %s\n", KEST_CTL_VERSION); return ExitDone;
    case KestCtlOptions::UsageError: return usageError(options.error());
    case KestCtlOptions::Run: break;
    }

    KestCtlOutput output(options.json());
    const std::unique_ptr<KestCtlCommand> command = createCommand(options.command(), output, options.timeout());
    if (!command)
        return usageError(QStringLiteral("unknown command \"%1\"").arg(options.command()));
    if (!command->parse(options.arguments(), options))
        return usageError(command->usageError());

    // The library's log messages would mix with the output; QT_LOGGING_RULES still overrides this.
    QLoggingCategory::setFilterRules(options.verbose() ? QStringLiteral("qkest.*=true")
                                                       : QStringLiteral("qkest.*=false"));

    KestCtlSignalNotifier signalNotifier;
    QObject::connect(&signalNotifier, &KestCtlSignalNotifier::interrupted, command.get(), &KestCtlCommand::interrupt);
    QObject::connect(command.get(), &KestCtlCommand::finished, &QCoreApplication::exit);
    // From the event loop, so that a command that ends at once still ends it.
    QTimer::singleShot(0, command.get(), &KestCtlCommand::start);
    return QCoreApplication::exec();
}
