// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kesterror.h"

const QString KestError::KEST_SOURCE_ERROR_QUARK = QStringLiteral("kest-source-error-quark");

KestError::KestError()
    : m_code(Success)
{
}

KestError::KestError(Code code, const QString &text)
    : m_code(code)
    , m_text(text)
{
}

KestError::Code KestError::code() const
{
    return m_code;
}

QString KestError::text() const
{
    return m_text;
}

QString KestError::toString() const
{
    return QStringLiteral("%1: %2").arg(m_code).arg(m_text);
}

bool KestError::operator==(const KestError &other) const
{
    return m_code == other.m_code && m_text == other.m_text;
}
