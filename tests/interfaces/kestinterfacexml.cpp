// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestinterfacexml.h"

#include <QDBusMetaType>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

QMap<QString, KestInterfaceXml> KestInterfaceXml::parse(const QByteArray &xml)
{
    QMap<QString, KestInterfaceXml> interfaces;
    QXmlStreamReader reader(xml);
    KestInterfaceXml *interface = nullptr;
    QStringList *member = nullptr;
    bool isSignal = false;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        const QString element = reader.name().toString();
        const auto attr = [&](const char *n) { return reader.attributes().value(QLatin1String(n)).toString(); };
        if (element == QLatin1String("interface")) {
            interface = reader.isStartElement() ? &interfaces[attr("name")] : nullptr;
        } else if (interface && (element == QLatin1String("method") || element == QLatin1String("signal"))) {
            isSignal = element == QLatin1String("signal");
            member = reader.isStartElement() ? &interface->m_members[element + QLatin1Char(' ') + attr("name")]
                                             : nullptr;
        } else if (member && reader.isStartElement() && element == QLatin1String("arg")) {
            const bool out = isSignal || attr("direction") == QLatin1String("out");
            *member << (out ? QStringLiteral("out ") : QStringLiteral("in ")) + attr("type") + QLatin1Char(' ')
                    + attr("name");
        } else if (member && reader.isStartElement() && element == QLatin1String("annotation")) {
            *member << QLatin1Char('@') + attr("name") + QLatin1Char('=') + attr("value");
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

QString KestInterfaceXml::signatureOf(const QVariantList &values)
{
    QString signature;
    for (const QVariant &value : values) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        signature += QLatin1String(QDBusMetaType::typeToSignature(value.metaType()));
#else
        signature += QLatin1String(QDBusMetaType::typeToSignature(value.userType()));
#endif
    }
    return signature;
}

QStringList KestInterfaceXml::names(const QString &kind) const
{
    return QStringList(m_members.keys())
        .filter(QRegularExpression(QLatin1Char('^') + kind))
        .replaceInStrings(kind, QString());
}

QStringList KestInterfaceXml::types(const QString &member, const char *direction) const
{
    // "DIRECTION TYPE NAME" to "TYPE".
    return m_members.value(member)
        .filter(QRegularExpression(QLatin1Char('^') + QLatin1String(direction) + QLatin1Char(' ')))
        .replaceInStrings(QRegularExpression(QStringLiteral("^\\S+ (\\S+) .*$")), QStringLiteral("\\1"));
}

QStringList KestInterfaceXml::describe() const
{
    // Introspection may list the annotations first.
    QStringList lines;
    for (auto it = m_members.cbegin(); it != m_members.cend(); ++it) {
        lines << it.key() + QLatin1Char('(')
                + it->filter(QRegularExpression(QStringLiteral("^(in|out) "))).join(QLatin1String(", "))
                + QLatin1String(") ") + it->filter(QRegularExpression(QStringLiteral("^@"))).join(QLatin1Char(' '));
    }
    return lines;
}
