// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTRAWSOURCEADAPTOR_H
#define KESTRAWSOURCEADAPTOR_H

#include <kestbrowseresultdbusstruct.h>
#include <kestqueryresultdbusstruct.h>

#include <QDBusAbstractAdaptor>
#include <QHash>
#include <QStringList>

class KestBenchReceiver;

/*
 * What an application would write with QtDBus alone to browse and query a remote source: the
 * same start calls, a receiver at the same path and interface that demarshals the same rows,
 * decodes the same metadata into the same map with DBusMessageUtil, finds the pending request
 * by its id and calls the receiver's slot directly.
 */
class KestRawSourceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.proxy_source")
public:
    //! Exports \a parent as the receiver of source \a uuid of \a plugin.
    KestRawSourceAdaptor(QObject *parent, const QString &plugin, const QString &uuid);
    ~KestRawSourceAdaptor() override;

    bool isRegistered() const { return m_registered; }
    //! Starts a browse with a blocking call; the id, or 0.
    uint browse(const QStringList &keys, uint offset, uint count, KestBenchReceiver *receiver);
    uint query(const QString &query, KestBenchReceiver *receiver);

public Q_SLOTS:
    void browse_result(uint browseId, const QList<KestBrowseResultDBusStruct> &results);
    void query_result(uint queryId, int remainingCount, const QList<KestQueryResultDBusStruct> &results, int errorCode,
                      const QString &errorMessage);

private:
    uint start(const QString &member, const QList<QVariant> &arguments);

    QString m_uuid;
    QString m_service;
    QString m_path;
    QString m_receiverPath;
    bool m_registered;
    QHash<uint, KestBenchReceiver *> m_browses;
    QHash<uint, KestBenchReceiver *> m_queries;
};

#endif
