// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef MINIMALRENDERER_H
#define MINIMALRENDERER_H

#include <kestrenderer.h>

// A renderer: override what it can do; the rest answers "refused" to the callers.
class MinimalRenderer : public KestRenderer
{
    Q_OBJECT
public:
    MinimalRenderer();

    bool play(const QUrl &url, uint value) override;
    bool stop() override;
    //! Callers get their answers through the receiver's member, now or later.
    bool getStatus(QObject *receiver, const char *member) override;

private:
    QString m_playing;
};

#endif
