// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemoplugin.h"

#include "kestdemoextensionadaptor.h"
#include "kestdemorendereradaptor.h"
#include "kestdemosourceadaptor.h"

#include "kestbusnames_p.h"
#include <kestmediainfodbus.h>

#include <QDBusConnection>
#include <QDBusMetaType>

namespace {

const QString RendererUuid = QStringLiteral("demo_player");
const QString SourceUuid = QStringLiteral("demo_music");

void announce(const QString &signal, const QString &uuid, const QString &displayName)
{
    QDBusMessage message = QDBusMessage::createSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(),
                                                      signal);
    message << KestDemoPlugin::name() << uuid << displayName;
    QDBusConnection::sessionBus().send(message);
}

} // namespace

KestDemoPlugin::KestDemoPlugin()
{
    qDBusRegisterMetaType<KestMediaInfo>();
}

KestDemoPlugin::~KestDemoPlugin()
{
    deactivate();
}

void KestDemoPlugin::activate()
{
    if (m_renderer)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();

    m_renderer.reset(new QObject);
    new KestDemoRendererAdaptor(m_renderer.get());
    new KestDemoExtensionAdaptor(m_renderer.get(), QStringLiteral("Demo player"));
    bus.registerObject(KestBusNames::rendererPath(RendererUuid), m_renderer.get(), QDBusConnection::ExportAdaptors);
    bus.registerService(KestBusNames::rendererService(name(), RendererUuid));
    announce(QStringLiteral("new_renderer"), RendererUuid, QStringLiteral("Demo player"));

    m_source.reset(new QObject);
    new KestDemoSourceAdaptor(m_source.get(), SourceUuid);
    new KestDemoExtensionAdaptor(m_source.get(), QStringLiteral("Demo music collection"));
    bus.registerObject(KestBusNames::sourcePath(SourceUuid), m_source.get(), QDBusConnection::ExportAdaptors);
    bus.registerService(KestBusNames::sourceService(name(), SourceUuid));
    announce(QStringLiteral("new_source"), SourceUuid, QStringLiteral("Demo music collection"));
}

void KestDemoPlugin::deactivate()
{
    if (!m_renderer)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(KestBusNames::rendererService(name(), RendererUuid));
    bus.unregisterObject(KestBusNames::rendererPath(RendererUuid));
    bus.unregisterService(KestBusNames::sourceService(name(), SourceUuid));
    bus.unregisterObject(KestBusNames::sourcePath(SourceUuid));
    m_renderer.reset();
    m_source.reset();
}
