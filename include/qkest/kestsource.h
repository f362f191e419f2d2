// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSOURCE_H
#define KESTSOURCE_H

#include "qkest_export.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

/*!
 * A browsable media collection. The default operations do nothing and return 0 or false;
 * concrete sources (local ones, or proxies of remote ones) override them.
 */
class QKEST_EXPORT KestSource : public QObject
{
    Q_OBJECT
public:
    KestSource(QObject *parent, const QString &uuid, const QString &pluginName);
    ~KestSource() override;

    virtual QString uuid() const;
    virtual QString pluginName() const;
    virtual QString name() const;
    void setName(const QString &name);

    /*!
     * Starts browsing \a objectId and returns the browse id, 0 when nothing was started.
     * Rows arrive at \a resultSlot (uint browseId, QString objectId, Metamap metadata, uint index,
     * int remainingCount), failures at \a errorSlot (uint browseId, uint code, QString message).
     */
    virtual uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset,
                        uint count, QObject *receiver, const char *resultSlot, const char *errorSlot);
    virtual void cancelBrowse(uint browseId);
    /*!
     * Starts a query and returns its id, 0 when nothing was started. Rows arrive at \a resultSlot
     * (uint queryId, QStringList row, uint index, int remainingCount), failures at \a errorSlot
     * (uint queryId, int code, QString message).
     */
    virtual uint query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot);
    virtual void cancelQuery(uint queryId);
    virtual bool setKestProperty(const QString &name, const QVariant &value);
    //! The value arrives at receiver's member, which takes (QString name, QVariant value).
    virtual bool kestProperty(QString &name, QObject *receiver, const char *member);

Q_SIGNALS:
    void browseCompleted();
    void kestPropertyChanged(const QString &name, const QVariant &value);

private:
    QString m_uuid;
    QString m_pluginName;
    QString m_name;
};

#endif
