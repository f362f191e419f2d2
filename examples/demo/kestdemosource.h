// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMOSOURCE_H
#define KESTDEMOSOURCE_H

#include <kestsource.h>

#include <QVariantMap>

// A small music collection: the source of the demonstration plugin. Rows are delivered from the
// event loop, after the browse or query has returned its id.
class KestDemoSource : public KestSource
{
    Q_OBJECT
public:
    KestDemoSource(const QString &uuid, const QString &pluginName, const QString &name);

    uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                QObject *receiver, const char *resultSlot, const char *errorSlot) override;
    uint query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot) override;
    bool setKestProperty(const QString &name, const QVariant &value) override;
    bool kestProperty(QString &name, QObject *receiver, const char *member) override;

private:
    uint m_lastId = 0;
    QVariantMap m_properties;
};

#endif
