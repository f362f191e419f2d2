// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestmetadataencoder.h"

namespace {

template<typename T>
void appendRaw(QByteArray &block, T value)
{
    block.append(reinterpret_cast<const char *>(&value), int(sizeof value));
}

void appendCString(QByteArray &block, const QString &text)
{
    block.append(text.toLatin1());
    block.append('\0');
}

} // namespace

template<typename T>
KestMetadataEncoder &KestMetadataEncoder::addEntry(const QString &key, qint32 typeCode, T value)
{
    addHeader(key, typeCode);
    appendRaw(m_block, value);
    return *this;
}

KestMetadataEncoder &KestMetadataEncoder::addChar(const QString &key, signed char value)
{
    return addEntry(key, Char, value);
}

KestMetadataEncoder &KestMetadataEncoder::addBool(const QString &key, qint32 value)
{
    return addEntry(key, Boolean, value);
}

KestMetadataEncoder &KestMetadataEncoder::addInt(const QString &key, qint32 value)
{
    return addEntry(key, Int, value);
}

KestMetadataEncoder &KestMetadataEncoder::addUInt(const QString &key, quint32 value)
{
    return addEntry(key, UInt, value);
}

KestMetadataEncoder &KestMetadataEncoder::addInt64(const QString &key, qint64 value)
{
    return addEntry(key, Int64, value);
}

KestMetadataEncoder &KestMetadataEncoder::addUInt64(const QString &key, quint64 value)
{
    return addEntry(key, UInt64, value);
}

KestMetadataEncoder &KestMetadataEncoder::addDouble(const QString &key, double value)
{
    return addEntry(key, Double, value);
}

KestMetadataEncoder &KestMetadataEncoder::addString(const QString &key, const QString &value)
{
    addHeader(key, String);
    appendCString(m_block, value);
    return *this;
}

KestMetadataEncoder &KestMetadataEncoder::addHeader(const QString &key, qint32 typeCode, qint32 skipped)
{
    appendCString(m_block, key);
    appendRaw(m_block, skipped);
    appendRaw(m_block, typeCode);
    return *this;
}

KestMetadataEncoder &KestMetadataEncoder::addWord(qint32 word)
{
    appendRaw(m_block, word);
    return *this;
}

KestMetadataEncoder &KestMetadataEncoder::addBytes(const QByteArray &bytes)
{
    m_block.append(bytes);
    return *this;
}
