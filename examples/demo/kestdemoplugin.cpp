// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemoplugin.h"

#include <kestshared.h>

KestDemoPlugin::~KestDemoPlugin()
{
    deactivate();
}

//! [on demand]
void KestDemoPlugin::activate()
{
    if (m_renderer)
        return;
    m_renderer = std::make_unique<KestDemoRenderer>(QStringLiteral("demo_player"), name(),
                                                    QStringLiteral("Demo player"));
    m_source = std::make_unique<KestDemoSource>(QStringLiteral("demo_music"), name(),
                                                QStringLiteral("Demo music collection"));
    KestShared::instance()->publishRenderer(m_renderer.get());
    KestShared::instance()->publishSource(m_source.get());
}

void KestDemoPlugin::deactivate()
{
    if (!m_renderer)
        return;
    // Unpublished, they are this plugin's again, to delete.
    KestShared::instance()->unPublishRenderer(m_renderer.get());
    KestShared::instance()->unPublishSource(m_source.get());
    m_renderer.reset();
    m_source.reset();
}
//! [on demand]
