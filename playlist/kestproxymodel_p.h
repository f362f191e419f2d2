// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYMODEL_P_H
#define KESTPROXYMODEL_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QString>

class KestProxyModel;

class KestProxyModelPrivate
{
public:
    KestProxyModelPrivate(KestProxyModel *q, const QString &id);

    bool announceRows(uint start, uint end, int direction);
    int remoteRowCount() const;
    int remoteRow(int row) const;

    KestProxyModel *const q;
    const QString m_objectPath;
    const QString m_serviceName;
    // The remote model has changed before its signal arrives, but while a change is being
    // announced views must still see the rows as they were; these translate their questions.
    int m_announcedFirst = 0;
    int m_announcedDelta = 0;
};

#endif
