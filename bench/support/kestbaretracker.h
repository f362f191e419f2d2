// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBARETRACKER_H
#define KESTBARETRACKER_H

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

/*
 * Follows the framework's components with QtDBus alone: the bus work below which no tracker
 * can go, as the baseline of the library's start-up, removal and memory.
 */
class KestBareTracker : public QObject
{
    Q_OBJECT
public:
    ~KestBareTracker() override;

    /*
     * The bare cost of start-up: ListNames, one NameOwnerChanged subscription for all names and
     * one blocking NameHasOwner per component name. The number of components found.
     */
    int discover();
    /*
     * What a client minimally keeps per component: a NameOwnerChanged subscription for its
     * name, a record of its name and path, and its display name, fetched with get_name.
     */
    int follow();

    //! Releases of component names seen since discover() or follow().
    int released() const { return m_released; }
    bool namesFetched() const { return m_pendingNames == 0; }

private Q_SLOTS:
    void handleNameOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);

private:
    struct Component
    {
        QString path;
        QString displayName;
    };

    QStringList componentNames();
    bool subscribe(bool connect, const QStringList &argumentMatch);
    void fetchName(const QString &service, const QString &path);

    // The followed components, each with a subscription of its own, by bus name.
    QHash<QString, Component> m_components;
    bool m_subscribedToAll = false;
    int m_released = 0;
    int m_pendingNames = 0;
};

#endif
