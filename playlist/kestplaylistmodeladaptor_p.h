// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLAYLISTMODELADAPTOR_P_H
#define KESTPLAYLISTMODELADAPTOR_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QList>
#include <QString>
#include <QVariant>

class QAbstractItemModel;

class KestPlaylistModelAdaptorPrivate
{
public:
    explicit KestPlaylistModelAdaptorPrivate(QAbstractItemModel *model)
        : m_model(model)
    {
    }

    //! Sends \a member from the model path; a signal that cannot be sent is only logged.
    void sendSignal(const QString &member, const QList<QVariant> &arguments, const char *failure) const;

    QAbstractItemModel *const m_model;
    QString m_objectPath;
    bool m_initialized = false;
};

#endif
