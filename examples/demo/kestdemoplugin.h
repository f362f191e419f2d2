// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMOPLUGIN_H
#define KESTDEMOPLUGIN_H

#include "kestdemorenderer.h"
#include "kestdemosource.h"

#include <kestplugincontrolinterface.h>

#include <memory>

// The demonstration plugin: on activate it publishes one renderer and one source, on deactivate
// it takes them off the bus again.
class KestDemoPlugin : public KestPluginControlInterface
{
    Q_OBJECT
public:
    static QString name() { return QStringLiteral("demo"); }

    ~KestDemoPlugin() override;

    void activate() override;
    void deactivate() override;

private:
    std::unique_ptr<KestDemoRenderer> m_renderer;
    std::unique_ptr<KestDemoSource> m_source;
};

#endif
