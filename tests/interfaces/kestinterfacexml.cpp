// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestinterfacexml.h"

#include <QFile>
#include <QXmlStreamReader>

QMap<QString, KestInterfaceXml> KestInterfaceXml::parse(const QByteArray &xml)
{
    QMap<QString, KestInterfaceXml> interfaces;
    QXmlStreamReader reader(xml);
    QString interface;
    Member *member = nullptr;
    bool isSignal = false;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString name = attributes.value(QLatin1String("name")).toString();
        if (reader.isStartElement()) {
            if (reader.name() == QLatin1String("interface")) {
                interface = name;
                interfaces[interface];
            } else if (!interface.isEmpty() && reader.name() == QLatin1String("method")) {
                member = &interfaces[interface].m_methods[name];
                isSignal = false;
            } else if (!interface.isEmpty() && reader.name() == QLatin1String("signal")) {
                member = &interfaces[interface].m_signals[name];
                isSignal = true;
            } else if (member && reader.name() == QLatin1String("arg")) {
                const QString direction = attributes.value(QLatin1String("direction")).toString();
                member->arguments.append(
                    {name, attributes.value(QLatin1String("type")).toString(),
                     isSignal || direction == QLatin1String("out") ? QStringLiteral("out") : QStringLiteral("in")});
            } else if (member && reader.name() == QLatin1String("annotation")) {
                member->annotations.insert(name, attributes.value(QLatin1String("value")).toString());
            }
        } else if (reader.isEndElement()) {
            if (reader.name() == QLatin1String("interface"))
                interface.clear();
            else if (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal"))
                member = nullptr;
        }
    }
    if (reader.hasError())
        interfaces.clear();
    return interfaces;
}

KestInterfaceXml KestInterfaceXml::fromFile(const QString &interface)
{
    QFile file(QStringLiteral(KEST_INTERFACE_DIR "/%1.xml").arg(interface));
    if (!file.open(QIODevice::ReadOnly))
        return KestInterfaceXml();
    return parse(file.readAll()).value(interface);
}

QString KestInterfaceXml::signature(const QString &method, const QString &direction) const
{
    QString result;
    const QList<Argument> arguments = m_methods.value(method).arguments;
    for (const Argument &argument : arguments) {
        if (argument.direction == direction)
            result += argument.type;
    }
    return result;
}

QString KestInterfaceXml::inSignature(const QString &method) const
{
    return signature(method, QStringLiteral("in"));
}

QString KestInterfaceXml::outSignature(const QString &method) const
{
    return signature(method, QStringLiteral("out"));
}

QString KestInterfaceXml::signalSignature(const QString &signal) const
{
    QString result;
    const QList<Argument> arguments = m_signals.value(signal).arguments;
    for (const Argument &argument : arguments)
        result += argument.type;
    return result;
}

QList<KestInterfaceXml::Argument> KestInterfaceXml::inArguments(const QString &method) const
{
    QList<Argument> result;
    const QList<Argument> arguments = m_methods.value(method).arguments;
    for (const Argument &argument : arguments) {
        if (argument.direction == QLatin1String("in"))
            result.append(argument);
    }
    return result;
}

QStringList KestInterfaceXml::describe() const
{
    QStringList lines;
    const auto add = [&lines](const QString &kind, const QMap<QString, Member> &members) {
        for (auto member = members.cbegin(); member != members.cend(); ++member) {
            QStringList arguments;
            for (const Argument &argument : member->arguments)
                arguments << argument.direction + QLatin1Char(' ') + argument.type + QLatin1Char(' ') + argument.name;
            QString line = kind + QLatin1Char(' ') + member.key() + QLatin1Char('(');
            line += arguments.join(QLatin1String(", ")) + QLatin1Char(')');
            const QMap<QString, QString> &annotations = member->annotations;
            for (auto annotation = annotations.cbegin(); annotation != annotations.cend(); ++annotation)
                line += QLatin1Char(' ') + annotation.key() + QLatin1Char('=') + annotation.value();
            lines << line;
        }
    };
    add(QStringLiteral("method"), m_methods);
    add(QStringLiteral("signal"), m_signals);
    return lines;
}
