// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLVALUE_H
#define KESTCTLVALUE_H

#include <QJsonValue>
#include <QString>
#include <QVariant>

class QDBusArgument;

/*
 * Values that come from the bus (metadata, properties, cells, signal arguments) as JSON and as
 * text, and values given on the command line as the variants to send.
 */
class KestCtlValue
{
public:
    //! Numbers, strings, booleans, lists and maps as such; D-Bus containers are unpacked.
    static QJsonValue toJson(const QVariant &value);
    //! Strings as they are, everything else in its JSON form.
    static QString toText(const QVariant &value);
    //! Like toText(), but quoted when the text would not read as one word.
    static QString toWord(const QVariant &value);
    //! true and false as booleans, integers and decimals as numbers, anything else as a string.
    static QVariant fromText(const QString &text);
    //! A float as the decimal it was meant to be, not its binary expansion.
    static QVariant fromFloat(float value);

private:
    static QJsonValue fromArgument(const QDBusArgument &argument);
};

#endif
