// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROPERTYREPLY_P_H
#define KESTPROPERTYREPLY_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestdeferredreply_p.h"

#include <QString>
#include <QVariant>

// The receiver of a local component's kestProperty() callback: answers get_extension_property.
class KestPropertyReply : public KestDeferredReply
{
    Q_OBJECT
public:
    KestPropertyReply(KestDeferredReplies *replies, const QDBusMessage &call);

    //! The name asked for, which the reply carries whatever name the component calls back with.
    void setName(const QString &name) { m_name = name; }

private Q_SLOTS:
    void property(const QString &name, const QVariant &value);

private:
    QString m_name;
};

#endif
