// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMOSOURCEADAPTOR_H
#define KESTDEMOSOURCEADAPTOR_H

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QStringList>

// A small music collection: the source interface of the demonstration plugin. Results are sent
// back to the caller's result object right after the call that started them has been answered.
class KestDemoSourceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.source")
public:
    KestDemoSourceAdaptor(QObject *component, const QString &uuid);

public Q_SLOTS:
    uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                const QDBusMessage &message);
    uint query(const QString &query, const QDBusMessage &message);
    void cancel_browse(uint browseId);
    void cancel_query(uint queryId);

private:
    void sendBrowseResults(uint browseId, const QString &caller, const QStringList &keys, uint offset, uint count);
    void sendQueryResults(uint queryId, const QString &caller, const QString &query);

    QString m_uuid;
    uint m_lastId;
};

#endif
