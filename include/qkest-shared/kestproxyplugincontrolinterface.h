// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYPLUGINCONTROLINTERFACE_H
#define KESTPROXYPLUGINCONTROLINTERFACE_H

#include "qkestshared_export.h"

#include <kestplugincontrolinterface.h>

#include <memory>

class KestProxyPluginControlInterfacePrivate;

/*!
 * Control of a plugin process on the bus: activate() and deactivate() send the plugin those
 * calls without waiting for a reply. Sending to an activatable plugin makes the bus daemon start it.
 */
class QKESTSHARED_EXPORT KestProxyPluginControlInterface : public KestPluginControlInterface
{
    Q_OBJECT
public:
    explicit KestProxyPluginControlInterface(const QString &pluginName);
    ~KestProxyPluginControlInterface() override;

    void activate() override;
    void deactivate() override;

private:
    std::unique_ptr<KestProxyPluginControlInterfacePrivate> const d;
};

#endif
