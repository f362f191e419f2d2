// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "dbusmessageutil.h"

#include "kestlogging_p.h"

#include <cstring>
#include <type_traits>

namespace {

// GLib's fundamental type numbers, as the type codes of a block.
enum TypeCode : qint32 {
    CharCode = 12,
    BooleanCode = 20,
    IntCode = 24,
    UIntCode = 28,
    Int64Code = 40,
    UInt64Code = 44,
    DoubleCode = 60,
    StringCode = 64
};

/*
 * A cursor over a metadata block. Reads never copy the block and never move bytes: a whole
 * block is decoded in one linear pass. A failed read warns as the extract functions do and
 * moves the cursor to the end, like clearing the array would.
 */
class MetadataCursor
{
public:
    //! Whether every number read is traced, as the extract functions do; blocks trace once.
    enum Tracing {
        TraceNumbers,
        TraceNothing
    };

    MetadataCursor(const QByteArray &data, Tracing tracing)
        : m_begin(data.constData())
        , m_pos(m_begin)
        , m_end(m_begin + data.size())
        , m_traceNumbers(tracing == TraceNumbers)
    {
    }

    bool atEnd() const { return m_pos == m_end; }
    bool failed() const { return m_failed; }
    qsizetype consumed() const { return m_pos - m_begin; }

    QString readString()
    {
        m_failed = false;
        const void *terminator = std::memchr(m_pos, '\0', size_t(m_end - m_pos));
        if (!terminator) {
            qCWarning(lcKestSource) << "String can not be extracted.";
            fail();
            return QString();
        }
        const char *stringEnd = static_cast<const char *>(terminator);
        const QString result = QString::fromLatin1(m_pos, int(stringEnd - m_pos));
        m_pos = stringEnd + 1;
        return result;
    }

    template<typename T>
    T readNumber()
    {
        m_failed = false;
        if (m_end - m_pos < qsizetype(sizeof(T))) {
            qCWarning(lcKestSource) << "Numeric value  can not be extracted.";
            fail();
            return T(0);
        }
        // The block has no alignment: copy the bytes rather than load through a cast pointer.
        T value;
        std::memcpy(&value, m_pos, sizeof(T));
        m_pos += sizeof(T);
        if (m_traceNumbers) {
            if constexpr (std::is_same_v<T, char>)
                qCDebug(lcKestSource) << "extracted numeric :" << signExtended(value);
            else
                qCDebug(lcKestSource) << "extracted numeric :" << value;
        }
        return value;
    }

    QVariant readValue(int type)
    {
        m_failed = false;
        switch (type) {
        case CharCode: return QVariant(signExtended(readNumber<char>()));
        case BooleanCode: return QVariant(readNumber<int>() != 0);
        case IntCode: return QVariant(readNumber<int>());
        case UIntCode: return QVariant(readNumber<unsigned int>());
        case Int64Code: return QVariant(readNumber<long long>());
        case UInt64Code: return QVariant(readNumber<unsigned long long>());
        case DoubleCode: return QVariant(readNumber<double>());
        case StringCode: return QVariant(readString());
        default:
            qCWarning(lcKestSource) << "WARNING, unsupported data type";
            fail();
            return QVariant();
        }
    }

    /*
     * One entry: key, skipped word, type code, value. Every read runs even after a failed one,
     * so a malformed entry logs exactly what the four extract calls would log.
     */
    template<typename KeyRead, typename ValueRead>
    void readEntry(KeyRead onKey, ValueRead onValue)
    {
        const QString key = readString();
        onKey(key);
        readNumber<int>(); // skipped word
        const int type = readNumber<int>();
        const QVariant value = readValue(type);
        if (!m_failed)
            onValue(key, value);
    }

    //! Makes \a data look as if the extract functions had consumed what this cursor read.
    void commitTo(QByteArray &data, bool *error) const
    {
        *error = m_failed;
        if (m_failed)
            data.clear();
        else
            data.remove(0, int(consumed()));
    }

private:
    // char is unsigned on some targets: widen through the byte's bit pattern.
    static int signExtended(char c)
    {
        const int byte = static_cast<unsigned char>(c);
        return byte >= 0x80 ? byte - 0x100 : byte;
    }

    void fail()
    {
        m_failed = true;
        m_pos = m_end;
    }

    const char *m_begin;
    const char *m_pos;
    const char *m_end;
    const bool m_traceNumbers;
    bool m_failed = false;
};

// Latin-1 without its zero character: what a zero-terminated string of the block can hold.
bool fitsString(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0xff)
            return false;
    }
    return true;
}

template<typename T>
QByteArray bytesOf(T value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), int(sizeof value));
}

// The type code and value bytes of \a value; false when it cannot travel.
bool encodeValue(const QVariant &value, qint32 *code, QByteArray *bytes)
{
    switch (value.userType()) {
    case QMetaType::Bool:
        *code = BooleanCode;
        *bytes = bytesOf<qint32>(value.toBool() ? 1 : 0);
        return true;
    case QMetaType::Char:
    case QMetaType::SChar:
        *code = CharCode;
        *bytes = bytesOf<qint8>(qint8(value.toInt()));
        return true;
    case QMetaType::Int:
    case QMetaType::Short:
        *code = IntCode;
        *bytes = bytesOf<qint32>(value.toInt());
        return true;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
        *code = UIntCode;
        *bytes = bytesOf<quint32>(value.toUInt());
        return true;
    case QMetaType::LongLong:
    case QMetaType::Long:
        *code = Int64Code;
        *bytes = bytesOf<qint64>(value.toLongLong());
        return true;
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        *code = UInt64Code;
        *bytes = bytesOf<quint64>(value.toULongLong());
        return true;
    case QMetaType::Double:
    case QMetaType::Float:
        *code = DoubleCode;
        *bytes = bytesOf<double>(value.toDouble());
        return true;
    case QMetaType::QString: {
        const QString text = value.toString();
        if (!fitsString(text))
            return false;
        *code = StringCode;
        *bytes = text.toLatin1() + '\0';
        return true;
    }
    default:
        // Anything else with a text of its own, a URL or a date, travels as that text.
        return value.isValid() && value.canConvert<QString>() && encodeValue(value.toString(), code, bytes);
    }
}

template<typename KeyRead, typename ValueRead>
bool decodeBlock(const QByteArray &block, KeyRead onKey, ValueRead onValue)
{
    MetadataCursor cursor(block, MetadataCursor::TraceNothing);
    int entries = 0;
    while (!cursor.atEnd()) {
        cursor.readEntry(onKey, onValue);
        if (cursor.failed())
            return false;
        ++entries;
    }
    qCDebug(lcKestSource) << "DBusMessageUtil::decodeMetadataBlock entries:" << entries << "bytes:" << block.size();
    return true;
}

} // namespace

QString DBusMessageUtil::extractString(QByteArray &data, bool *error)
{
    MetadataCursor cursor(data, MetadataCursor::TraceNumbers);
    const QString result = cursor.readString();
    cursor.commitTo(data, error);
    return result;
}

template<typename T>
T DBusMessageUtil::extractNumericValue(QByteArray &data, T, bool *error)
{
    MetadataCursor cursor(data, MetadataCursor::TraceNumbers);
    const T result = cursor.readNumber<T>();
    cursor.commitTo(data, error);
    return result;
}

template QKESTSHARED_EXPORT int DBusMessageUtil::extractNumericValue<int>(QByteArray &, int, bool *);
template QKESTSHARED_EXPORT unsigned int DBusMessageUtil::extractNumericValue<unsigned int>(QByteArray &, unsigned int,
                                                                                            bool *);
template QKESTSHARED_EXPORT long long DBusMessageUtil::extractNumericValue<long long>(QByteArray &, long long, bool *);
template QKESTSHARED_EXPORT unsigned long long
DBusMessageUtil::extractNumericValue<unsigned long long>(QByteArray &, unsigned long long, bool *);
template QKESTSHARED_EXPORT double DBusMessageUtil::extractNumericValue<double>(QByteArray &, double, bool *);
template QKESTSHARED_EXPORT char DBusMessageUtil::extractNumericValue<char>(QByteArray &, char, bool *);

QVariant DBusMessageUtil::extractMetadataValue(int type, QByteArray &data, bool *error)
{
    MetadataCursor cursor(data, MetadataCursor::TraceNumbers);
    const QVariant result = cursor.readValue(type);
    cursor.commitTo(data, error);
    return result;
}

bool DBusMessageUtil::decodeMetadataBlock(const QByteArray &block, QMap<QString, QVariant> &metadata)
{
    return decodeBlock(
        block, [](const QString &) {},
        [&metadata](const QString &key, const QVariant &value) { metadata.insert(key, value); });
}

bool DBusMessageUtil::decodeMetadataBlock(const QByteArray &block, QStringList &keys, QStringList &values)
{
    return decodeBlock(
        block, [&keys](const QString &key) { keys.append(key); },
        [&values](const QString &, const QVariant &value) { values.append(value.toString()); });
}

bool DBusMessageUtil::appendMetadataEntry(QByteArray &block, const QString &key, const QVariant &value)
{
    qint32 code = 0;
    QByteArray bytes;
    if (!fitsString(key) || !encodeValue(value, &code, &bytes)) {
        qCWarning(lcKestSource) << "DBusMessageUtil: A metadata entry cannot travel, left out:" << key.left(40)
                                << value.typeName();
        return false;
    }
    block += key.toLatin1();
    block += '\0';
    block += bytesOf<qint32>(qint32(bytes.size()));
    block += bytesOf<qint32>(code);
    block += bytes;
    return true;
}

bool DBusMessageUtil::encodeMetadataBlock(const QMap<QString, QVariant> &metadata, QByteArray &block)
{
    block.clear();
    bool complete = true;
    for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
        complete &= appendMetadataEntry(block, it.key(), it.value());
    return complete;
}
