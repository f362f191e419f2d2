// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestrenderersignalhub_p.h"

#include "kestbusnames_p.h"
#include "kestproxyrenderer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QPointer>

namespace {
QPointer<KestRendererSignalHub> s_rendererHub;
}

KestRendererSignalHub *KestRendererSignalHub::instance()
{
    if (!s_rendererHub)
        s_rendererHub = new KestRendererSignalHub(QCoreApplication::instance());
    return s_rendererHub;
}

KestRendererSignalHub::KestRendererSignalHub(QObject *parent)
    : KestSignalHub(
        parent,
        {
            {KestBusNames::rendererInterface(), "state_changed", SLOT(stateChanged(int, QDBusMessage))},
            {KestBusNames::rendererInterface(), "playlist_changed", SLOT(playlistChanged(QString, QDBusMessage))},
            {KestBusNames::rendererInterface(), "media_changed", SLOT(mediaChanged(int, QString, QDBusMessage))},
            {KestBusNames::rendererInterface(), "playback_completed", SLOT(playbackCompleted(QDBusMessage))},
            {KestBusNames::rendererInterface(), "metadata_changed",
             SLOT(metadataChanged(QString, QList<QVariant>, QDBusMessage))},
            {KestBusNames::rendererInterface(), "buffering_info", SLOT(bufferingInfo(double, QDBusMessage))},
            {KestBusNames::rendererInterface(), "scanning_info", SLOT(scanningInfo(double, QDBusMessage))},
            {KestBusNames::extensionInterface(), "property_changed",
             SLOT(propertyChanged(QString, QDBusVariant, QDBusMessage))},
            {KestBusNames::rendererInterface(), "error", SLOT(error(int, QString, QDBusMessage))},
        })
{
    // The bus library finds the types of slot parameters by name.
    qRegisterMetaType<QDBusVariant>();
}

bool KestRendererSignalHub::add(KestProxyRenderer *renderer)
{
    return KestSignalHub::add(renderer->objectPath(), renderer->service(), renderer);
}

void KestRendererSignalHub::remove(KestProxyRenderer *renderer)
{
    if (s_rendererHub)
        s_rendererHub->KestSignalHub::remove(renderer->objectPath(), renderer);
}

void KestRendererSignalHub::stateChanged(int state, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchStateChangedSignal(state); });
}

void KestRendererSignalHub::playlistChanged(const QString &playlistId, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchPlaylistChangedSignal(playlistId); });
}

void KestRendererSignalHub::mediaChanged(int index, const QString &objectId, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchMediaChangedSignal(index, objectId); });
}

void KestRendererSignalHub::playbackCompleted(const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [](KestProxyRenderer *r) { r->catchPlaybackCompletedSignal(); });
}

void KestRendererSignalHub::metadataChanged(const QString &metadata, const QList<QVariant> &values,
                                            const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchMetadataChangedSignal(metadata, values); });
}

void KestRendererSignalHub::bufferingInfo(double status, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchBufferingInfoSignal(status); });
}

void KestRendererSignalHub::scanningInfo(double status, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchScanningInfoSignal(status); });
}

void KestRendererSignalHub::propertyChanged(const QString &name, const QDBusVariant &value, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchPropertyChangedSignal(name, value); });
}

void KestRendererSignalHub::error(int code, const QString &text, const QDBusMessage &message)
{
    deliver<KestProxyRenderer>(message, [&](KestProxyRenderer *r) { r->catchErrorSignal(code, text); });
}
