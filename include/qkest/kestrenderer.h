// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTRENDERER_H
#define KESTRENDERER_H

#include "qkest_export.h"
#include "kestcontent.h"
#include "kesterror.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>

class KestPlaylist;

/*!
 * A media player component. The default operations do nothing and return false;
 * concrete renderers (local ones, or proxies of remote ones) override them.
 */
class QKEST_EXPORT KestRenderer : public QObject
{
    Q_OBJECT
public:
    // Remote renderers may report states beyond these; int as the base type keeps any value valid.
    enum State : int {
        Stopped = 0,
        Playing = 1,
        Paused = 2,
        Transitioning = 3
    };
    Q_ENUM(State)

    enum SeekMode {
        SeekAbsolute = 0,
        SeekRelative = 1
    };
    Q_ENUM(SeekMode)

    KestRenderer(const QString &uuid, const QString &pluginName, QObject *parent = nullptr);
    ~KestRenderer() override;

    virtual QString uuid() const;
    virtual QString pluginName() const;
    virtual QString name() const;

    virtual bool play();
    virtual bool play(const QUrl &url, uint value);
    virtual bool play(const QUrl &url, const QString &contentType);
    virtual bool stop();
    virtual bool pause();
    virtual bool pauseAt(uint position);
    virtual bool resume();
    virtual bool next();
    virtual bool previous();
    virtual bool gotoIndex(uint index);
    virtual bool setPosition(int position, KestRenderer::SeekMode mode);
    //! Status arrives at receiver's member, see KestCallbackHelper for its signature.
    virtual bool getStatus(QObject *receiver, const char *member);
    virtual bool assignPlaylist(KestPlaylist *playlist);
    virtual bool getPosition(QObject *receiver, const char *member);
    //! Stores \a value as the dynamic property \a name of this object.
    virtual bool setKestProperty(const QString &name, const QVariant &value);
    //! The value arrives at receiver's member, which takes (QString name, QVariant value).
    virtual bool kestProperty(QString &name, QObject *receiver, const char *member);
    virtual bool getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument);

Q_SIGNALS:
    void stateChanged(KestRenderer::State state);
    void mediaChanged(int index, const KestContent &content);
    void playlistChanged(KestPlaylist *playlist);
    void playbackCompleted();
    void metadataChanged(const QString &metadata, const QList<QVariant> &values);
    void bufferingInfo(float status);
    void scanningInfo(float status);
    void nameChanged(const QString &name);
    void error(const KestError &error);

protected:
    QString m_uuid;
    QString m_pluginName;
    QString m_name;
};

#endif
