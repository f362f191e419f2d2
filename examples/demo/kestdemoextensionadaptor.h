// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMOEXTENSIONADAPTOR_H
#define KESTDEMOEXTENSIONADAPTOR_H

#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QVariantMap>

// The extension interface that every demonstration component serves: its name and properties.
class KestDemoExtensionAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.extension")
public:
    KestDemoExtensionAdaptor(QObject *component, const QString &name);

public Q_SLOTS:
    QString get_name();
    QString get_extension_property(const QString &name, QDBusVariant &value);
    void set_extension_property(const QString &name, const QDBusVariant &value);

Q_SIGNALS:
    void property_changed(const QString &name, const QDBusVariant &value);

private:
    QString m_name;
    QVariantMap m_properties;
};

#endif
