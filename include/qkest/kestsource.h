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
 * \inmodule QKest
 * \inheaderfile kestsource.h
 * \brief A browsable media collection.
 *
 * The default operations do nothing and return 0 or false; concrete sources (local ones, or
 * KestProxySource for remote ones) override them. Results arrive at the receiver's slots, given
 * in SLOT() coding. The registry owns the sources registered in it.
 */
class QKEST_EXPORT KestSource : public QObject
{
    Q_OBJECT
public:
    /*! A source with \a uuid, hosted by the plugin \a pluginName, a child of \a parent. */
    KestSource(QObject *parent, const QString &uuid, const QString &pluginName);
    /*! Destroys the source; pending browses and queries end without a callback. */
    ~KestSource() override;

    /*! Returns the uuid, which identifies the source in the registry. */
    virtual QString uuid() const;
    /*! Returns the name of the plugin that hosts the source. */
    virtual QString pluginName() const;
    /*! Returns the display name, empty while it is not known. */
    virtual QString name() const;
    /*! Sets the display name to \a name; nameChanged() tells when it differs. */
    void setName(const QString &name);

    /*!
     * Starts browsing \a objectId with \a predicate, asking for the metadata \a keys of \a count
     * rows from \a offset, and returns the browse id, 0 when nothing was started.
     * Rows arrive at \a receiver's \a resultSlot (uint browseId, QString objectId, Metamap metadata,
     * uint index, int remainingCount), failures at its \a errorSlot (uint browseId, uint code,
     * QString message). The default returns 0.
     */
    virtual uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset,
                        uint count, QObject *receiver, const char *resultSlot, const char *errorSlot);
    /*! Asks to stop the browse \a browseId. The default does nothing. */
    virtual void cancelBrowse(uint browseId);
    /*!
     * Starts the \a query and returns its id, 0 when nothing was started. Rows arrive at
     * \a receiver's \a resultSlot (uint queryId, QStringList row, uint index, int remainingCount),
     * failures at its \a errorSlot (uint queryId, int code, QString message). The default returns 0.
     */
    virtual uint query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot);
    /*! Asks to stop the query \a queryId. The default does nothing. */
    virtual void cancelQuery(uint queryId);
    /*! Sets the property \a name to \a value; returns false when refused. The default returns false. */
    virtual bool setKestProperty(const QString &name, const QVariant &value);
    /*!
     * Asks for the property \a name; the value arrives at \a receiver's \a member, which takes
     * (QString name, QVariant value). Returns false when nothing was asked; the default does so.
     */
    virtual bool kestProperty(QString &name, QObject *receiver, const char *member);

Q_SIGNALS:
    /*! A browse delivered its last row. */
    void browseCompleted();
    /*! The source's property \a name changed to \a value. */
    void kestPropertyChanged(const QString &name, const QVariant &value);
    /*! The display name is now \a name. */
    void nameChanged(const QString &name);

private:
    QString m_uuid;
    QString m_pluginName;
    QString m_name;
};

#endif
