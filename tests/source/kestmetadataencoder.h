// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTMETADATAENCODER_H
#define KESTMETADATAENCODER_H

#include <QByteArray>
#include <QString>

// Builds metadata blocks as a remote source writes them, entry by entry:
// key, zero byte, a 32-bit word the reader skips, a 32-bit type code, the value.
// Numbers go in host byte order. The raw appenders make malformed blocks.
class KestMetadataEncoder
{
public:
    // The type codes the reader knows.
    static constexpr qint32 Char = 12, Boolean = 20, Int = 24, UInt = 28, Int64 = 40, UInt64 = 44, Double = 60,
                            String = 64;

    KestMetadataEncoder &addChar(const QString &key, signed char value) { return addEntry(key, Char, value); }
    KestMetadataEncoder &addBool(const QString &key, qint32 value) { return addEntry(key, Boolean, value); }
    KestMetadataEncoder &addInt(const QString &key, qint32 value) { return addEntry(key, Int, value); }
    KestMetadataEncoder &addUInt(const QString &key, quint32 value) { return addEntry(key, UInt, value); }
    KestMetadataEncoder &addInt64(const QString &key, qint64 value) { return addEntry(key, Int64, value); }
    KestMetadataEncoder &addUInt64(const QString &key, quint64 value) { return addEntry(key, UInt64, value); }
    KestMetadataEncoder &addDouble(const QString &key, double value) { return addEntry(key, Double, value); }
    KestMetadataEncoder &addString(const QString &key, const QString &value);

    //! Key, zero byte, skipped word and type code, without a value.
    KestMetadataEncoder &addHeader(const QString &key, qint32 typeCode, qint32 skipped = 1);
    KestMetadataEncoder &addWord(qint32 word) { return addRaw(word); }
    KestMetadataEncoder &addBytes(const QByteArray &bytes);

    QByteArray block() const { return m_block; }

private:
    template<typename T>
    KestMetadataEncoder &addRaw(T value)
    {
        return addBytes(QByteArray(reinterpret_cast<const char *>(&value), int(sizeof value)));
    }
    template<typename T>
    KestMetadataEncoder &addEntry(const QString &key, qint32 typeCode, T value)
    {
        return addHeader(key, typeCode).addRaw(value);
    }

    QByteArray m_block;
};

#endif
