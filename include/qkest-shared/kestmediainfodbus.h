// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTMEDIAINFODBUS_H
#define KESTMEDIAINFODBUS_H

#include "qkestshared_export.h"

#include "kestmediainfo.h"

class QDBusArgument;

/*!
 * \headerfile kestmediainfodbus.h
 * \inmodule QKestShared
 * \title KestMediaInfo on the bus
 *
 * KestMediaInfo on the bus: the struct (sa{sav}) of the uuid and, per metadata key in ascending
 * order, the key's values, each as a variant. Known to Qt's D-Bus type system as "KestMediaInfo"
 * once qDBusRegisterMetaType<KestMediaInfo>() has run.
 */
/*!
 * \relates kestmediainfodbus.h
 * Writes \a mediaInfo to \a argument as the structure (sa{sav}) and returns \a argument.
 */
QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const KestMediaInfo &mediaInfo);
/*!
 * \relates kestmediainfodbus.h
 * Reads \a mediaInfo from \a argument and returns \a argument; a malformed value leaves \a mediaInfo invalid.
 */
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, KestMediaInfo &mediaInfo);

#endif
