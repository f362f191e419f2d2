// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCALLBACKHELPER_H
#define KESTCALLBACKHELPER_H

#include "qkest_export.h"
#include "kesterror.h"
#include "kestmediainfo.h"

#include <QMetaMethod>
#include <QObject>

class KestRenderer;

/*!
 * \inmodule QKest
 * \inheaderfile kestcallbackhelper.h
 * \brief Finds and calls the members that callers hand over as callbacks.
 *
 * A callback is a receiver object and a member signature in SLOT() coding: a code character
 * followed by the signature, as SLOT(onStatus(KestRenderer*,QString,uint,int,QString)) writes it.
 * Only slots are accepted. Members are called with Qt::AutoConnection, so a receiver that lives
 * in another thread is reached through its own event loop. Every function returns false, and
 * calls nothing, for a null receiver or a slot that does not exist.
 *
 * The renderer callbacks take the renderer first:
 * \list
 * \li error: (KestRenderer*, KestError)
 * \li status: (KestRenderer*, QString playlistId, uint playbackIndex, int playbackState, QString objectId)
 * \li position: (KestRenderer*, uint position)
 * \li media info: (KestRenderer*, KestMediaInfo)
 * \endlist
 */
class QKEST_EXPORT KestCallbackHelper
{
public:
    /*! Looks up the slot that \a member names on \a receiver into \a method; returns false when there is none. */
    static bool getCallbackMethod(const QObject *receiver, const char *member, QMetaMethod &method);

    /*!
     * Calls the slot that \a member names on \a receiver with \a args.
     * Returns false when the slot does not exist or the invocation fails.
     */
    template<typename... Args>
    static bool invoke(QObject *receiver, const char *member, const Args &...args)
    {
        QMetaMethod method;
        return getCallbackMethod(receiver, member, method) && invoke(receiver, method, args...);
    }

    /*!
     * Calls \a method, found earlier on \a receiver with getCallbackMethod(), with \a args.
     * Callers that call the same member many times look it up once and use this.
     * Returns false when \a method is invalid or the invocation fails.
     */
    template<typename... Args>
    static bool invoke(QObject *receiver, const QMetaMethod &method, const Args &...args)
    {
        if (!receiver || !method.isValid())
            return false;
        // A receiver of this thread whose member takes exactly these types is called as a direct
        // connection calls it, without the checks by type name that an invocation makes every time.
        if (takesDirectly(receiver, method, {qMetaTypeId<Args>()...})) {
            void *argv[] = {nullptr, const_cast<void *>(static_cast<const void *>(&args))...};
            QMetaObject::metacall(receiver, QMetaObject::InvokeMetaMethod, method.methodIndex(), argv);
            return true;
        }
        return method.invoke(receiver, Qt::AutoConnection,
                             QGenericArgument(typeName<Args>(), static_cast<const void *>(&args))...);
    }

    /*! Returns true when \a receiver has the slot \a member with the error callback's parameters. */
    static bool checkErrorCallback(const QObject *receiver, const char *member);
    /*! Returns true when \a receiver has the slot \a member with the status callback's parameters. */
    static bool checkGetStatusCallback(const QObject *receiver, const char *member);
    /*! Returns true when \a receiver has the slot \a member with the position callback's parameters. */
    static bool checkGetPositionCallback(const QObject *receiver, const char *member);
    /*! Returns true when \a receiver has the slot \a member with the media info callback's parameters. */
    static bool checkGetMediaInfoCallback(const QObject *receiver, const char *member);

    /*! Calls \a receiver's \a member with \a renderer and \a error; returns false when that fails. */
    static bool invokeErrorCallback(KestRenderer *renderer, KestError &error, QObject *receiver, const char *member);
    /*!
     * Calls \a receiver's \a member with \a renderer, \a playlistId, \a playbackIndex,
     * \a playbackState and \a objectId; returns false when that fails.
     */
    static bool invokeGetStatusCallback(KestRenderer *renderer, const QString &playlistId, uint playbackIndex,
                                        int playbackState, const QString &objectId, QObject *receiver,
                                        const char *member);
    /*! Calls \a receiver's \a member with \a renderer and \a position; returns false when that fails. */
    static bool invokeGetPositionCallback(KestRenderer *renderer, uint position, QObject *receiver, const char *member);
    /*! Calls \a receiver's \a member with \a renderer and \a mediaInfo; returns false when that fails. */
    static bool invokeGetMediaInfoCallback(KestRenderer *renderer, const KestMediaInfo &mediaInfo, QObject *receiver,
                                           const char *member);

private:
    template<typename T>
    static const char *typeName()
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        return QMetaType::fromType<T>().name();
#else
        return QMetaType::typeName(qMetaTypeId<T>());
#endif
    }

    static bool hasParameters(const QObject *receiver, const char *member, std::initializer_list<int> types);
    static bool takesDirectly(const QObject *receiver, const QMetaMethod &method, std::initializer_list<int> types);
};

#endif
