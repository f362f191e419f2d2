// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTERROR_H
#define KESTERROR_H

#include "qkest_export.h"

#include <QMetaType>
#include <QString>

/*!
 * An error record: a numeric code and a human-readable text.
 *
 * Code 0 is a success notice, code 3 a failure without a usable remote code;
 * any other value is the code that a remote component reported.
 */
class QKEST_EXPORT KestError
{
public:
    using Code = int;

    enum : Code {
        Success = 0,
        GeneralFailure = 3
    };

    //! Error domain that remote sources send with metadata errors.
    static const QString KEST_SOURCE_ERROR_QUARK;

    KestError();
    KestError(Code code, const QString &text);

    Code code() const;
    QString text() const;

    //! "code: text", for logs.
    QString toString() const;

    bool operator==(const KestError &other) const;
    bool operator!=(const KestError &other) const { return !(*this == other); }

private:
    Code m_code;
    QString m_text;
};

Q_DECLARE_METATYPE(KestError)

#endif
