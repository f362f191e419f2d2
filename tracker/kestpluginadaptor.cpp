// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestpluginadaptor.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include "kestbusregistration_p.h"
#include "kestlogging_p.h"
#include "kestserving_p.h"

#include <kestplugincontrolinterface.h>

class KestPluginAdaptorPrivate
{
public:
    KestPluginControlInterface *const m_control;
    const QString m_pluginName;
    KestBusRegistration m_registration;
};

KestPluginAdaptor::KestPluginAdaptor(KestPluginControlInterface &control, const QString &pluginName)
    : QDBusAbstractAdaptor(&control)
    , d(new KestPluginAdaptorPrivate{&control, pluginName, {}})
{
}

KestPluginAdaptor::~KestPluginAdaptor()
{
    withdraw();
}

QString KestPluginAdaptor::pluginName() const
{
    return d->m_pluginName;
}

bool KestPluginAdaptor::init()
{
    if (isPublished())
        return true;
    if (!KestBusName::isValidPluginName(d->m_pluginName)) {
        qCWarning(lcKestTracker) << "KestPluginAdaptor: Invalid plugin name, not published:"
                                 << KestBusName::excerpt(d->m_pluginName);
        return false;
    }
    const QString path = KestBusNames::pluginPath(d->m_pluginName);
    if (!d->m_registration.registerAt(path, KestBusNames::pluginService(d->m_pluginName), d->m_control,
                                      "KestPluginAdaptor: The plugin"))
        return false;
    KestServing::emitSignal(path, KestBusNames::pluginInterface(), QStringLiteral("new_plugin"), {d->m_pluginName});
    return true;
}

void KestPluginAdaptor::withdraw()
{
    d->m_registration.release();
}

bool KestPluginAdaptor::isPublished() const
{
    return d->m_registration.isRegistered();
}

void KestPluginAdaptor::activate()
{
    d->m_control->activate();
}

void KestPluginAdaptor::deactivate()
{
    d->m_control->deactivate();
}
