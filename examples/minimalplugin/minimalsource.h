// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef MINIMALSOURCE_H
#define MINIMALSOURCE_H

#include <kestsource.h>

// A source of three items.
class MinimalSource : public KestSource
{
    Q_OBJECT
public:
    MinimalSource();

    uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                QObject *receiver, const char *resultSlot, const char *errorSlot) override;

private:
    uint m_lastId = 0;
};

#endif
