// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTINTERFACEXML_H
#define KESTINTERFACEXML_H

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>

// One interface of a D-Bus introspection document, reduced to what the contract fixes: its
// methods and signals with their arguments and annotations. Comments, whitespace and the order
// of attributes do not count.
class KestInterfaceXml
{
public:
    //! The interfaces of an introspection document by name; none when it does not parse.
    static QMap<QString, KestInterfaceXml> parse(const QByteArray &xml);
    //! The interface file installed for \a interface; an empty interface when it is missing.
    static KestInterfaceXml fromFile(const QString &interface);
    //! The D-Bus signature of a message carrying \a values.
    static QString signatureOf(const QVariantList &values);

    QStringList methodNames() const { return names(QStringLiteral("method ")); }
    QStringList signalNames() const { return names(QStringLiteral("signal ")); }
    //! The types of the "in" or "out" arguments of \a member, "method NAME" or "signal NAME".
    QStringList types(const QString &member, const char *direction) const;
    QString inSignature(const QString &method) const { return signature(QStringLiteral("method ") + method, "in"); }
    QString outSignature(const QString &method) const { return signature(QStringLiteral("method ") + method, "out"); }
    QString signalSignature(const QString &name) const { return signature(QStringLiteral("signal ") + name, "out"); }
    //! One line per member, such as "method get_item(in i index, out s uuid)", sorted.
    QStringList describe() const;

private:
    QStringList names(const QString &kind) const;
    QString signature(const QString &member, const char *in) const { return types(member, in).join(QString()); }

    // By "method NAME" or "signal NAME": "DIRECTION TYPE NAME" for each argument, then the
    // annotations as "@NAME=VALUE". A signal's arguments are all "out".
    QMap<QString, QStringList> m_members;
};

#endif
