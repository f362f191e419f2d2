// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlvalue.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

QJsonValue KestCtlValue::toJson(const QVariant &value)
{
    if (!value.isValid())
        return QJsonValue(QJsonValue::Null);
    const int type = value.userType();
    if (type == qMetaTypeId<QDBusVariant>())
        return toJson(qvariant_cast<QDBusVariant>(value).variant());
    if (type == qMetaTypeId<QDBusArgument>())
        return fromArgument(qvariant_cast<QDBusArgument>(value));
    if (type == qMetaTypeId<QDBusObjectPath>())
        return qvariant_cast<QDBusObjectPath>(value).path();
    if (type == qMetaTypeId<QDBusSignature>())
        return qvariant_cast<QDBusSignature>(value).signature();
    if (type == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    if (type == QMetaType::Float)
        return toJson(fromFloat(value.toFloat()));
    if (type == QMetaType::QVariantList || type == QMetaType::QStringList) {
        QJsonArray array;
        const QVariantList list = value.toList();
        for (const QVariant &element : list)
            array.append(toJson(element));
        return array;
    }
    if (type == QMetaType::QVariantMap) {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            object.insert(it.key(), toJson(it.value()));
        return object;
    }
    const QJsonValue json = QJsonValue::fromVariant(value);
    // Whatever JSON has no form for is shown as Qt writes it as text.
    return json.isNull() || json.isUndefined() ? QJsonValue(value.toString()) : json;
}

QJsonValue KestCtlValue::fromArgument(const QDBusArgument &argument)
{
    switch (argument.currentType()) {
    case QDBusArgument::ArrayType: {
        QJsonArray array;
        argument.beginArray();
        while (!argument.atEnd())
            array.append(fromArgument(argument));
        argument.endArray();
        return array;
    }
    case QDBusArgument::StructureType: {
        QJsonArray fields;
        argument.beginStructure();
        while (!argument.atEnd())
            fields.append(fromArgument(argument));
        argument.endStructure();
        return fields;
    }
    case QDBusArgument::MapType: {
        QJsonObject object;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const QString key = toText(fromArgument(argument).toVariant());
            object.insert(key, fromArgument(argument));
            argument.endMapEntry();
        }
        argument.endMap();
        return object;
    }
    case QDBusArgument::BasicType:
    case QDBusArgument::VariantType: return toJson(argument.asVariant());
    default: return QJsonValue(QJsonValue::Null);
    }
}

QString KestCtlValue::toText(const QVariant &value)
{
    const QJsonValue json = toJson(value);
    if (json.isString())
        return json.toString();
    if (json.isArray())
        return QString::fromUtf8(QJsonDocument(json.toArray()).toJson(QJsonDocument::Compact));
    if (json.isObject())
        return QString::fromUtf8(QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact));
    // A scalar: let the JSON writer spell it, inside an array that it then takes off again.
    const QByteArray wrapped = QJsonDocument(QJsonArray{json}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

QString KestCtlValue::toWord(const QVariant &value)
{
    static const QRegularExpression word(QStringLiteral("^[\\w.:/+-]+$"));
    const QString text = toText(value);
    if (word.match(text).hasMatch())
        return text;
    const QByteArray quoted = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
}

QVariant KestCtlValue::fromText(const QString &text)
{
    if (text == QLatin1String("true") || text == QLatin1String("false"))
        return text == QLatin1String("true");
    bool ok = false;
    const int integer = text.toInt(&ok);
    if (ok)
        return integer;
    const double decimal = text.toDouble(&ok);
    if (ok)
        return decimal;
    return text;
}

QVariant KestCtlValue::fromFloat(float value)
{
    // Seven significant digits are what a float holds.
    return QString::number(double(value), 'g', 7).toDouble();
}
