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
 * methods and signals with their arguments (name, type, direction) and annotations. Comments,
 * whitespace and the order of attributes do not count.
 */
class KestInterfaceXml
{
public:
    struct Argument
    {
        QString name;
        QString type;
        QString direction; // "in" or "out"; signal arguments are always "out"
    };
    struct Member
    {
        QList<Argument> arguments;
        QMap<QString, QString> annotations;
    };

    //! The interfaces of an introspection document by name; empty when it does not parse.
    static QMap<QString, KestInterfaceXml> parse(const QByteArray &xml);
    //! The interface file installed for \a interface; an empty interface when it is missing.
    static KestInterfaceXml fromFile(const QString &interface);

    bool isEmpty() const { return m_methods.isEmpty() && m_signals.isEmpty(); }
    QStringList methodNames() const { return m_methods.keys(); }
    QStringList signalNames() const { return m_signals.keys(); }
    bool hasMethod(const QString &name) const { return m_methods.contains(name); }
    bool hasSignal(const QString &name) const { return m_signals.contains(name); }
    //! A method's in arguments as one signature.
    QString inSignature(const QString &method) const;
    QString outSignature(const QString &method) const;
    QString signalSignature(const QString &signal) const;
    QList<Argument> inArguments(const QString &method) const;

    //! One sorted line per member, such as "method get_item(in i index, out s uuid)".
    QStringList describe() const;

private:
    QString signature(const QString &method, const QString &direction) const;

    QMap<QString, Member> m_methods;
    QMap<QString, Member> m_signals;
};

#endif
