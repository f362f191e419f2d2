// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMORENDERER_H
#define KESTDEMORENDERER_H

#include <kestrenderer.h>

#include <QElapsedTimer>

// A player that plays nothing but keeps time: the renderer of the demonstration plugin.
class KestDemoRenderer : public KestRenderer
{
    Q_OBJECT
public:
    KestDemoRenderer(const QString &uuid, const QString &pluginName, const QString &name);

    bool play() override;
    bool play(const QUrl &url, uint value) override;
    bool stop() override;
    bool pause() override;
    bool resume() override;
    bool getStatus(QObject *receiver, const char *member) override;
    bool getPosition(QObject *receiver, const char *member) override;
    bool getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument) override;
    //! Answers with the value that setKestProperty() stored.
    bool kestProperty(QString &name, QObject *receiver, const char *member) override;

private:
    bool setState(State state);

    State m_state = Stopped;
    QString m_uri;
    QElapsedTimer m_clock;
    qint64 m_playedBefore = 0;
};

#endif
