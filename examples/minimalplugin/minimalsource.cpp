// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "minimalsource.h"

#include <kestcallbackhelper.h>
#include <kestcontent.h>

MinimalSource::MinimalSource()
    : KestSource(nullptr, QStringLiteral("minimal_music"), QStringLiteral("minimal"))
{
    setName(QStringLiteral("Minimal music"));
}

//! [browse]
// Rows go to the receiver's result slot; the one with nothing remaining is the last. They may be
// delivered from inside this call, as here, or later from the event loop, which suits large
// results better. With no rows at all, call the error slot with code 0.
uint MinimalSource::browse(const QString &, const QString &, const QStringList &, uint, uint, QObject *receiver,
                           const char *resultSlot, const char *)
{
    const uint id = ++m_lastId;
    const QStringList titles{QStringLiteral("First light"), QStringLiteral("Noon"), QStringLiteral("Dusk")};
    for (int i = 0; i < titles.size(); ++i)
        KestCallbackHelper::invoke(receiver, resultSlot, id, QStringLiteral("minimal_%1").arg(i),
                                   Metamap{{QStringLiteral("title"), titles.at(i)}}, uint(i),
                                   int(titles.size() - 1 - i));
    return id;
}
//! [browse]
