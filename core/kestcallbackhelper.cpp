// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestcallbackhelper.h"

#include "kestrenderer.h"

#include <QMetaObject>

bool KestCallbackHelper::getCallbackMethod(const QObject *receiver, const char *member, QMetaMethod &method)
{
    if (!receiver || !member || !*member)
        return false;
    // Skip the code character that SLOT() puts in front of the signature.
    if (*member >= '0' && *member <= '9')
        ++member;
    const QByteArray signature = QMetaObject::normalizedSignature(member);
    const QMetaObject *metaObject = receiver->metaObject();
    const int index = metaObject->indexOfSlot(signature.constData());
    if (index < 0)
        return false;
    method = metaObject->method(index);
    return true;
}

bool KestCallbackHelper::hasParameters(const QObject *receiver, const char *member, std::initializer_list<int> types)
{
    QMetaMethod method;
    if (!getCallbackMethod(receiver, member, method))
        return false;
    if (method.parameterCount() != int(types.size()))
        return false;
    int i = 0;
    for (int type : types) {
        if (method.parameterType(i++) != type)
            return false;
    }
    return true;
}

bool KestCallbackHelper::checkErrorCallback(const QObject *receiver, const char *member)
{
    return hasParameters(receiver, member, {qMetaTypeId<KestRenderer *>(), qMetaTypeId<KestError>()});
}

bool KestCallbackHelper::checkGetStatusCallback(const QObject *receiver, const char *member)
{
    return hasParameters(receiver, member,
                         {qMetaTypeId<KestRenderer *>(), QMetaType::QString, QMetaType::UInt, QMetaType::Int,
                          QMetaType::QString});
}

bool KestCallbackHelper::checkGetPositionCallback(const QObject *receiver, const char *member)
{
    return hasParameters(receiver, member, {qMetaTypeId<KestRenderer *>(), QMetaType::UInt});
}

bool KestCallbackHelper::checkGetMediaInfoCallback(const QObject *receiver, const char *member)
{
    return hasParameters(receiver, member, {qMetaTypeId<KestRenderer *>(), qMetaTypeId<KestMediaInfo>()});
}

bool KestCallbackHelper::invokeErrorCallback(KestRenderer *renderer, KestError &error, QObject *receiver,
                                             const char *member)
{
    return invoke(receiver, member, renderer, error);
}

bool KestCallbackHelper::invokeGetStatusCallback(KestRenderer *renderer, const QString &playlistId, uint playbackIndex,
                                                 int playbackState, const QString &objectId, QObject *receiver,
                                                 const char *member)
{
    return invoke(receiver, member, renderer, playlistId, playbackIndex, playbackState, objectId);
}

bool KestCallbackHelper::invokeGetPositionCallback(KestRenderer *renderer, uint position, QObject *receiver,
                                                   const char *member)
{
    return invoke(receiver, member, renderer, position);
}

bool KestCallbackHelper::invokeGetMediaInfoCallback(KestRenderer *renderer, const KestMediaInfo &mediaInfo,
                                                    QObject *receiver, const char *member)
{
    return invoke(receiver, member, renderer, mediaInfo);
}
