// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestmetadataencoder.h"

KestMetadataEncoder &KestMetadataEncoder::addString(const QString &key, const QString &value)
{
    return addHeader(key, String).addBytes(value.toLatin1() + '\0');
}

KestMetadataEncoder &KestMetadataEncoder::addHeader(const QString &key, qint32 typeCode, qint32 skipped)
{
    return addBytes(key.toLatin1() + '\0').addWord(skipped).addWord(typeCode);
}

KestMetadataEncoder &KestMetadataEncoder::addBytes(const QByteArray &bytes)
{
    m_block.append(bytes);
    return *this;
}
