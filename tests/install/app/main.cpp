// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A tiny application built against the installed library.

#include <kestregistry.h>
#include <qkest-shared/kestshared.h>

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool initialized = KestShared::instance()->initialize(KestShared::TrackRenderers | KestShared::TrackSources);
    std::printf("initialized=%d renderers=%d\n", initialized ? 1 : 0,
                int(KestRegistry::instance()->renderers().size()));
    return initialized ? 0 : 1;
}
