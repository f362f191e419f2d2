// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYPLUGINCONTROLINTERFACE_H
#define KESTPROXYPLUGINCONTROLINTERFACE_H

#include "qkestshared_export.h"

#include <kestplugincontrolinterface.h>

#include <memory>

class KestProxyPluginControlInterfacePrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyplugincontrolinterface.h
 * \brief Control of a plugin process on the bus.
 *
 * KestShared creates one for each activatable plugin (with KestShared::TrackPlugins) and registers
 * it; the registry owns it. activate() and deactivate() send the plugin those
 * calls without waiting for a reply. Sending to an activatable plugin makes the bus daemon start it.
 */
class QKESTSHARED_EXPORT KestProxyPluginControlInterface : public KestPluginControlInterface
{
    Q_OBJECT
public:
    /*! The control of the plugin \a pluginName. */
    explicit KestProxyPluginControlInterface(const QString &pluginName);
    /*! Destroys the proxy; the plugin process is not told. */
    ~KestProxyPluginControlInterface() override;

    /*! Sends activate without waiting; a lost bus only gives a warning. \reimp */
    void activate() override;
    /*! Sends deactivate without waiting; a lost bus only gives a warning. \reimp */
    void deactivate() override;

private:
    std::unique_ptr<KestProxyPluginControlInterfacePrivate> const d;
};

#endif
