// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestsourcesignalhub_p.h"

#include "kestbusnames_p.h"
#include "kestproxysource.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
QPointer<KestSourceSignalHub> s_sourceHub;
}

KestSourceSignalHub *KestSourceSignalHub::instance()
{
    if (!s_sourceHub)
        s_sourceHub = new KestSourceSignalHub(QCoreApplication::instance());
    return s_sourceHub;
}

KestSourceSignalHub::KestSourceSignalHub(QObject *parent)
    : KestSignalHub(parent,
                    {{KestBusNames::extensionInterface(), "property_changed",
                      SLOT(propertyChanged(QString, QDBusVariant, QDBusMessage))}})
{
    // The bus library finds the types of slot parameters by name.
    qRegisterMetaType<QDBusVariant>();
}

bool KestSourceSignalHub::add(KestProxySource *source)
{
    return KestSignalHub::add(source->objectPath(), source->serviceName(), source);
}

void KestSourceSignalHub::remove(KestProxySource *source)
{
    if (s_sourceHub)
        s_sourceHub->KestSignalHub::remove(source->objectPath(), source);
}

void KestSourceSignalHub::propertyChanged(const QString &name, const QDBusVariant &value, const QDBusMessage &message)
{
    deliver<KestProxySource>(message, [&](KestProxySource *s) { s->handlePropertyChangedSignal(name, value); });
}
