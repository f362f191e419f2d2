// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemoextensionadaptor.h"

KestDemoExtensionAdaptor::KestDemoExtensionAdaptor(QObject *component, const QString &name)
    : QDBusAbstractAdaptor(component)
    , m_name(name)
{
    setAutoRelaySignals(true);
}

QString KestDemoExtensionAdaptor::get_name()
{
    return m_name;
}

QString KestDemoExtensionAdaptor::get_extension_property(const QString &name, QDBusVariant &value)
{
    value = QDBusVariant(m_properties.value(name, QString()));
    return name;
}

void KestDemoExtensionAdaptor::set_extension_property(const QString &name, const QDBusVariant &value)
{
    m_properties.insert(name, value.variant());
    Q_EMIT property_changed(name, value);
}
