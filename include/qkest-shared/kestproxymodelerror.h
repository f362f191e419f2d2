// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYMODELERROR_H
#define KESTPROXYMODELERROR_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QMetaType>

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxymodelerror.h
 * \brief Stands in a get_data or get_header_data reply when the exported model has nothing to
 * show.
 *
 * On the bus it is a structure of one int32, "(i)", inside the reply's variant. Receivers reject
 * the whole value; the integer carries no meaning.
 */
struct KestProxyModelError
{
    /*! Sent as 0 and never read. */
    int value = 0;

    /*! Makes the type known to Qt's meta-type system and to the D-Bus type system. */
    static void registerType();
};

Q_DECLARE_METATYPE(KestProxyModelError)

/*!
 * \relates KestProxyModelError
 * Writes \a error to \a argument as the structure "(i)" and returns \a argument.
 */
QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const KestProxyModelError &error);
/*!
 * \relates KestProxyModelError
 * Reads \a error from \a argument and returns \a argument; a wrong signature leaves the argument in error.
 */
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, KestProxyModelError &error);

inline void KestProxyModelError::registerType()
{
    qRegisterMetaType<KestProxyModelError>("KestProxyModelError");
    qDBusRegisterMetaType<KestProxyModelError>();
}

#endif
