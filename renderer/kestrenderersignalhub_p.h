// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTRENDERERSIGNALHUB_P_H
#define KESTRENDERERSIGNALHUB_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestsignalhub_p.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QVariant>

class KestProxyRenderer;

// The remote renderers' signals, for every renderer proxy of the process.
class KestRendererSignalHub : public KestSignalHub
{
    Q_OBJECT
public:
    static KestRendererSignalHub *instance();

    //! False when the bus refuses the subscriptions.
    bool add(KestProxyRenderer *renderer);
    //! Forgets \a renderer, if the hub exists at all.
    static void remove(KestProxyRenderer *renderer);

private Q_SLOTS:
    void stateChanged(int state, const QDBusMessage &message);
    void playlistChanged(const QString &playlistId, const QDBusMessage &message);
    void mediaChanged(int index, const QString &objectId, const QDBusMessage &message);
    void playbackCompleted(const QDBusMessage &message);
    void metadataChanged(const QString &metadata, const QList<QVariant> &values, const QDBusMessage &message);
    void bufferingInfo(double status, const QDBusMessage &message);
    void scanningInfo(double status, const QDBusMessage &message);
    void propertyChanged(const QString &name, const QDBusVariant &value, const QDBusMessage &message);
    void error(int code, const QString &text, const QDBusMessage &message);

private:
    explicit KestRendererSignalHub(QObject *parent);
};

#endif
