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
 * \inmodule QKest
 * \inheaderfile kestrenderer.h
 * \brief A media player component.
 *
 * The default operations do nothing and return false; concrete renderers (local ones, or
 * KestProxyRenderer for remote ones) override them. A true result means that the request was
 * accepted, not that it has been carried out: the outcome shows in the signals, and queries
 * answer at the receiver's member. The registry owns the renderers registered in it.
 */
class QKEST_EXPORT KestRenderer : public QObject
{
    Q_OBJECT
public:
    /*!
     * The playback state. Remote renderers may report states beyond these; the int base type
     * keeps any value valid.
     * \value Stopped Nothing is playing.
     * \value Playing Media is playing.
     * \value Paused Playback is paused and can be resumed.
     * \value Transitioning The renderer is between two states, e.g. buffering before playing.
     */
    enum State : int {
        Stopped = 0,
        Playing = 1,
        Paused = 2,
        Transitioning = 3
    };
    Q_ENUM(State)

    /*!
     * How setPosition() reads its position.
     * \value SeekAbsolute From the start of the media.
     * \value SeekRelative From the current position, forwards or (negative) backwards.
     */
    enum SeekMode {
        SeekAbsolute = 0,
        SeekRelative = 1
    };
    Q_ENUM(SeekMode)

    /*! A renderer with \a uuid, hosted by the plugin \a pluginName, a child of \a parent. */
    KestRenderer(const QString &uuid, const QString &pluginName, QObject *parent = nullptr);
    /*! Destroys the renderer; requests still pending are dropped without a callback. */
    ~KestRenderer() override;

    /*! Returns the uuid, which identifies the renderer in the registry. */
    virtual QString uuid() const;
    /*! Returns the name of the plugin that hosts the renderer. */
    virtual QString pluginName() const;
    /*! Returns the display name, empty while it is not known. */
    virtual QString name() const;

    /*! Resumes or starts playing the current media; returns false when refused. */
    virtual bool play();
    /*! Plays the media at \a url, starting at \a value; returns false when refused. */
    virtual bool play(const QUrl &url, uint value);
    /*! Plays the media at \a url, telling its \a contentType; returns false when refused. */
    virtual bool play(const QUrl &url, const QString &contentType);
    /*! Stops playback; returns false when refused. */
    virtual bool stop();
    /*! Pauses playback; returns false when refused. */
    virtual bool pause();
    /*! Pauses playback when it reaches \a position; returns false when refused. */
    virtual bool pauseAt(uint position);
    /*! Resumes paused playback; returns false when refused. */
    virtual bool resume();
    /*! Goes to the next item of the assigned playlist; returns false when refused. */
    virtual bool next();
    /*! Goes to the previous item of the assigned playlist; returns false when refused. */
    virtual bool previous();
    /*! Goes to the item at \a index of the assigned playlist; returns false when refused. */
    virtual bool gotoIndex(uint index);
    /*! Seeks to \a position, read as \a mode says; returns false when refused. */
    virtual bool setPosition(int position, KestRenderer::SeekMode mode);
    /*!
     * Asks for the status, which arrives at \a receiver's \a member; see KestCallbackHelper for
     * its signature. Returns false when nothing was asked.
     */
    virtual bool getStatus(QObject *receiver, const char *member);
    /*! Makes the renderer play \a playlist; returns false when refused. */
    virtual bool assignPlaylist(KestPlaylist *playlist);
    /*!
     * Asks for the playback position, which arrives at \a receiver's \a member, taking
     * (KestRenderer*, uint). Returns false when nothing was asked.
     */
    virtual bool getPosition(QObject *receiver, const char *member);
    /*! Stores \a value as the dynamic property \a name of this object and returns true. */
    virtual bool setKestProperty(const QString &name, const QVariant &value);
    /*!
     * Asks for the property \a name; the value arrives at \a receiver's \a member, which takes
     * (QString name, QVariant value). Returns false when nothing was asked.
     */
    virtual bool kestProperty(QString &name, QObject *receiver, const char *member);
    /*!
     * Asks for the media information of what plays, for \a argument; it arrives at
     * \a receiver's \a member, taking (KestRenderer*, KestMediaInfo). Returns false when
     * nothing was asked.
     */
    virtual bool getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument);

Q_SIGNALS:
    /*! The playback state is now \a state. */
    void stateChanged(KestRenderer::State state);
    /*! The item at \a index of the playlist, \a content, is now the current media. */
    void mediaChanged(int index, const KestContent &content);
    /*! The renderer now plays \a playlist; null when the playlist is not known here. */
    void playlistChanged(KestPlaylist *playlist);
    /*! The media played to its end. */
    void playbackCompleted();
    /*! The current media's \a metadata key has the \a values now. */
    void metadataChanged(const QString &metadata, const QList<QVariant> &values);
    /*! Buffering progress: \a status from 0 to 100. */
    void bufferingInfo(float status);
    /*! Scanning progress: \a status from 0 to 100. */
    void scanningInfo(float status);
    /*! The display name is now \a name. */
    void nameChanged(const QString &name);
    /*! The renderer reports \a error, outside any request. */
    void error(const KestError &error);

protected:
    QString m_uuid;
    QString m_pluginName;
    QString m_name;
};

#endif
