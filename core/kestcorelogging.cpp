// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestcorelogging_p.h"

#include "kestcontent.h"
#include "kesterror.h"
#include "kestmediainfo.h"
#include "kestplaylist.h"
#include "kestrenderer.h"

// Debug traces are off until the logging rules turn them on, as in the other qkest categories.
Q_LOGGING_CATEGORY(lcKestCore, "qkest.core", QtInfoMsg)

// The core value types travel through queued slot calls and QVariants, so they are
// known to the meta-type system as soon as the library is loaded.
static void registerKestCoreMetaTypes()
{
    qRegisterMetaType<KestError>("KestError");
    qRegisterMetaType<KestContent>("KestContent");
    qRegisterMetaType<KestMediaInfo>("KestMediaInfo");
    qRegisterMetaType<Metamap>("Metamap");
    qRegisterMetaType<KestRenderer *>("KestRenderer*");
    qRegisterMetaType<KestPlaylist *>("KestPlaylist*");
    qRegisterMetaType<KestRenderer::State>("KestRenderer::State");
    qRegisterMetaType<KestRenderer::SeekMode>("KestRenderer::SeekMode");
    qRegisterMetaType<KestPlaylist::KestPlaylistUpdate>("KestPlaylist::KestPlaylistUpdate");
}
Q_CONSTRUCTOR_FUNCTION(registerKestCoreMetaTypes)
