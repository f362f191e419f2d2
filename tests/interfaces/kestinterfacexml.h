// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTINTERFACEXML_H
#define KESTINTERFACEXML_H

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

/*
 * One interface of a D-Bus introspection document, reduced to what the contract fixes: its
 * methods and signals with their arguments (direction, type, name) and annotations. Comments,
 * whitespace and the order of attributes do not count.
 */
class KestInterfaceXml
{
public:
    //! The interfaces of an introspection document by name; none when it does not parse.
    static QMap<QString, KestInterfaceXml> parse(const QByteArray &xml);
    //! The interface file installed for \a interface; an empty interface when it is missing.
    static KestInterfaceXml fromFile(const QString &interface);

    bool isEmpty() const { return m_methods.isEmpty() && m_signals.isEmpty(); }
    QStringList methodNames() const { return m_methods.keys(); }
    QStringList signalNames() const { return m_signals.keys(); }
    bool hasMethod(const QString &name) const { return m_methods.contains(name); }
    bool hasSignal(const QString &name) const { return m_signals.contains(name); }
    //! The types of a method's arguments in \a direction, "in" or "out"; of a signal's with "signal".
    QStringList types(const QString &member, const QString &direction) const;
    QString inSignature(const QString &method) const { return types(method, QStringLiteral("in")).join(QString()); }
    QString outSignature(const QString &method) const { return types(method, QStringLiteral("out")).join(QString()); }
    QString signalSignature(const QString &name) const { return types(name, QStringLiteral("signal")).join(QString()); }
    //! One line per member, such as "method get_item(in i index, out s uuid)", sorted.
    QStringList describe() const;

private:
    struct Argument
    {
        QString direction; // a signal's arguments are all "out"
        QString type;
        QString name;
    };
    struct Member
    {
        QList<Argument> arguments;
        QStringList annotations; // "name=value"
    };

    QMap<QString, Member> m_methods;
    QMap<QString, Member> m_signals;
};

#endif
