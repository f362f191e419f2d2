// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestcallbackhelper.h"

#include "kestrenderer.h"

#include <QHash>
#include <QMetaObject>
#include <QThread>

#include <utility>

bool KestCallbackHelper::getCallbackMethod(const QObject *receiver, const char *member, QMetaMethod &method)
{
    if (!receiver || !member || !*member)
        return false;
    // Skip the code character that SLOT() puts in front of the signature.
    if (*member >= '0' && *member <= '9')
        ++member;
    const QMetaObject *metaObject = receiver->metaObject();
    // Callers call the same members over and over (a callback per reply, per row): normalising a
    // signature costs far more than finding it again. A class's slots never change.
    thread_local QHash<std::pair<const QMetaObject *, QByteArray>, int> found;
    const std::pair<const QMetaObject *, QByteArray> key(metaObject, QByteArray(member));
    auto it = found.constFind(key);
    if (it == found.cend()) {
        const QByteArray signature = QMetaObject::normalizedSignature(member);
        it = found.insert(key, metaObject->indexOfSlot(signature.constData()));
    }
    if (it.value() < 0)
        return false;
    method = metaObject->method(it.value());
    return true;
}

namespace {
bool parametersAre(const QMetaMethod &method, std::initializer_list<int> types)
{
    if (method.parameterCount() != int(types.size()))
        return false;
    int i = 0;
    for (int type : types) {
        if (method.parameterType(i++) != type)
            return false;
    }
    return true;
}
} // namespace

bool KestCallbackHelper::hasParameters(const QObject *receiver, const char *member, std::initializer_list<int> types)
{
    QMetaMethod method;
    return getCallbackMethod(receiver, member, method) && parametersAre(method, types);
}

bool KestCallbackHelper::takesDirectly(const QObject *receiver, const QMetaMethod &method,
                                       std::initializer_list<int> types)
{
    return receiver->thread() == QThread::currentThread() && parametersAre(method, types);
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
