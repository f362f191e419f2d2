// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTRENDERERADAPTOR_P_H
#define KESTRENDERERADAPTOR_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestbusregistration_p.h"

#include <QPointer>
#include <QString>

class KestDeferredReplies;
class KestExtensionAdaptor;
class KestRenderer;
class KestRendererAdaptor;
class QDBusMessage;
class QUrl;

class KestRendererAdaptorPrivate
{
public:
    KestRendererAdaptorPrivate(KestRendererAdaptor *q, KestRenderer *renderer);

    //! Refuses \a message when the renderer's operation returned false.
    static void command(const QDBusMessage &message, bool accepted);
    //! The URI of a play call, or an empty URL after refusing \a message.
    static QUrl uri(const QString &text, const QDBusMessage &message);
    void relaySignals();
    void sendSignal(const char *member, const QList<QVariant> &arguments) const;

    KestRendererAdaptor *const q;
    KestRenderer *const m_renderer;
    KestDeferredReplies *const m_replies;
    // A sibling: both are children of the renderer, destroyed in either order.
    QPointer<KestExtensionAdaptor> m_extension;
    KestBusRegistration m_registration;
};

#endif
