// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSERVING_P_H
#define KESTSERVING_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusError>
#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QVariant>

/*
 * What the adaptors of published components share when they answer calls and send signals.
 *
 * Every error they answer with carries the text "N:text" that the library's proxies read: the
 * decimal code, a colon and the text. The local objects report failures as false results, so the
 * code is always 3 (KestError::GeneralFailure); the D-Bus error name tells the kind of failure.
 */
class KestServing
{
public:
    //! Answers \a call with an error of \a type whose text is "3:" and \a text.
    static void refuse(const QDBusMessage &call, QDBusError::ErrorType type, const QString &text);
    /*!
     * Answers \a call with \a arguments; when they cannot travel on the bus, with an error
     * instead, so that the caller is not left waiting.
     */
    static void answer(const QDBusMessage &call, const QList<QVariant> &arguments = QList<QVariant>());
    //! Sends a signal; a failure is logged, with \a member.
    static bool emitSignal(const QString &path, const QString &interface, const QString &member,
                           const QList<QVariant> &arguments);
    /*!
     * \a value as the bus can carry it: itself when QtDBus knows its type, else its text where it
     * has one; invalid when neither.
     */
    static QVariant wireValue(const QVariant &value);
};

#endif
