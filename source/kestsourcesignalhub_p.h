// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSOURCESIGNALHUB_P_H
#define KESTSOURCESIGNALHUB_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestsignalhub_p.h"

#include <QDBusMessage>
#include <QDBusVariant>

class KestProxySource;

// The remote sources' signals, for every source proxy of the process.
class KestSourceSignalHub : public KestSignalHub
{
    Q_OBJECT
public:
    static KestSourceSignalHub *instance();

    //! False when the bus refuses the subscription.
    bool add(KestProxySource *source);
    //! Forgets \a source, if the hub exists at all.
    static void remove(KestProxySource *source);

private Q_SLOTS:
    void propertyChanged(const QString &name, const QDBusVariant &value, const QDBusMessage &message);

private:
    explicit KestSourceSignalHub(QObject *parent);
};

#endif
