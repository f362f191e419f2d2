// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTERROR_H
#define KESTERROR_H

#include "qkest_export.h"

#include <QMetaType>
#include <QString>

/*!
 * \inmodule QKest
 * \inheaderfile kesterror.h
 * \brief An error record: a numeric code and a human-readable text.
 *
 * Code 0 (\c Success) is a success notice, code 3 (\c GeneralFailure) a failure without a
 * usable remote code; any other value is the code that a remote component reported.
 */
class QKEST_EXPORT KestError
{
public:
    /*!
     * \typedef KestError::Code
     * The code's type: any int, since remote components choose their own codes.
     */
    using Code = int;

    // The codes that the framework itself gives; see the class description.
    enum : Code {
        Success = 0,
        GeneralFailure = 3
    };

    /*! Error domain that remote sources send with metadata errors. */
    static const QString KEST_SOURCE_ERROR_QUARK;

    /*! A success notice without text. */
    KestError();
    /*! An error with \a code and the human-readable \a text. */
    KestError(Code code, const QString &text);

    /*! Returns the code: 0 for success, 3 for a failure without usable code, else the remote one. */
    Code code() const;
    /*! Returns the human-readable text, possibly empty. */
    QString text() const;

    /*! Returns "code: text", for logs. */
    QString toString() const;

    /*! Returns true when \a other has the same code and text. */
    bool operator==(const KestError &other) const;
    /*! Returns true when \a other differs in code or text. */
    bool operator!=(const KestError &other) const { return !(*this == other); }

private:
    Code m_code;
    QString m_text;
};

Q_DECLARE_METATYPE(KestError)

#endif
