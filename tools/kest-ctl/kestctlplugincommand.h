// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLPLUGINCOMMAND_H
#define KESTCTLPLUGINCOMMAND_H

#include "kestctlcommand.h"

/*
 * kest-ctl plugin NAME activate|deactivate, through the plugin's control proxy. The proxy sends
 * without waiting for an answer: the tool has the bus daemon start the plugin if need be, and
 * ends once the request is on its way.
 */
class KestCtlPluginCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

public Q_SLOTS:
    void start() override;

private:
    QString m_plugin;
    bool m_activate = true;
};

#endif
