// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestinterfacexml.h"

#include <QFile>
#include <QXmlStreamReader>

QMap<QString, KestInterfaceXml> KestInterfaceXml::parse(const QByteArray &xml)
{
    QMap<QString, KestInterfaceXml> interfaces;
    QXmlStreamReader reader(xml);
    KestInterfaceXml *interface = nullptr;
    Member *member = nullptr;
    QString direction; // unless an argument says otherwise
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString name = attributes.value(QLatin1String("name")).toString();
        const bool start = reader.isStartElement();
        if (reader.name() == QLatin1String("interface")) {
            interface = start ? &interfaces[name] : nullptr;
        } else if (
            interface && (reader.name() == QLatin1String("method") || reader.name() == QLatin1String("signal"))) {
            const bool isMethod = reader.name() == QLatin1String("method");
            member = start ? &(isMethod ? interface->m_methods : interface->m_signals)[name] : nullptr;
            direction = isMethod ? QStringLiteral("in") : QStringLiteral("out");
        } else if (member && start && reader.name() == QLatin1String("arg")) {
            const bool out = attributes.value(QLatin1String("direction")) == QLatin1String("out");
            member->arguments.append(
                {out ? QStringLiteral("out") : direction, attributes.value(QLatin1String("type")).toString(), name});
        } else if (member && start && reader.name() == QLatin1String("annotation")) {
            member->annotations << name + QLatin1Char('=') + attributes.value(QLatin1String("value")).toString();
        }
    }
    if (reader.hasError())
        interfaces.clear();
    return interfaces;
}

KestInterfaceXml KestInterfaceXml::fromFile(const QString &interface)
{
    QFile file(QStringLiteral(KEST_INTERFACE_DIR "/%1.xml").arg(interface));
    return file.open(QIODevice::ReadOnly) ? parse(file.readAll()).value(interface) : KestInterfaceXml();
}

QStringList KestInterfaceXml::types(const QString &member, const QString &direction) const
{
    const bool signal = direction == QLatin1String("signal");
    const QList<Argument> arguments = (signal ? m_signals : m_methods).value(member).arguments;
    QStringList result;
    for (const Argument &argument : arguments) {
        if (signal || argument.direction == direction)
            result << argument.type;
    }
    return result;
}

QStringList KestInterfaceXml::describe() const
{
    QStringList lines;
    for (const bool isMethod : {true, false}) {
        const QMap<QString, Member> &members = isMethod ? m_methods : m_signals;
        for (auto member = members.cbegin(); member != members.cend(); ++member) {
            QStringList words;
            for (const Argument &argument : member->arguments)
                words << argument.direction + QLatin1Char(' ') + argument.type + QLatin1Char(' ') + argument.name;
            QStringList annotations = member->annotations;
            annotations.sort();
            lines << (isMethod ? QStringLiteral("method ") : QStringLiteral("signal ")) + member.key()
                    + QLatin1Char('(') + words.join(QLatin1String(", ")) + QLatin1String(") ")
                    + annotations.join(QLatin1Char(' '));
        }
    }
    return lines;
}
