// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTRECORDEDCALL_H
#define KESTRECORDEDCALL_H

#include <QList>
#include <QString>
#include <QVariant>

// One method call that a test peer received.
struct KestRecordedCall
{
    QString sender;
    QString path;
    QString interface;
    QString member;
    QString signature;
    QVariantList arguments;
};

#endif
