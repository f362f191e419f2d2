// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMORENDERERADAPTOR_H
#define KESTDEMORENDERERADAPTOR_H

#include <kestmediainfo.h>

#include <QDBusAbstractAdaptor>
#include <QElapsedTimer>

// A player that plays nothing but keeps time: the renderer interface of the demonstration plugin.
class KestDemoRendererAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.renderer")
public:
    explicit KestDemoRendererAdaptor(QObject *component);

public Q_SLOTS:
    void play();
    void play_uri(const QString &uri, uint value);
    void stop();
    void pause();
    void resume();
    void assign_playlist(const QString &playlistId);
    QString get_status(uint &playbackIndex, int &playbackState, QString &objectId);
    uint get_position();
    KestMediaInfo get_current_media_info(const QString &argument);

Q_SIGNALS:
    void state_changed(int state);
    void media_changed(int index, const QString &objectId);
    void playlist_changed(const QString &playlistId);

private:
    void setState(int state);

    int m_state;
    QString m_uri;
    QString m_playlistId;
    QElapsedTimer m_clock;
    qint64 m_playedBefore;
};

#endif
