// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTRENDERERADAPTOR_H
#define KESTRENDERERADAPTOR_H

#include "qkestshared_export.h"

#include <QDBusAbstractAdaptor>
#include <QString>

#include <memory>

class KestRenderer;
class KestRendererAdaptorPrivate;
class QDBusMessage;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestrendereradaptor.h
 * \brief Serves a local KestRenderer on the session bus, so that other processes use it through
 * their KestProxyRenderer.
 *
 * KestShared::publishRenderer() creates it; an application rarely needs it directly. The adaptor
 * serves "com.zorvo.kest.renderer" and, through a second adaptor beside it, "com.zorvo.kest.extension"
 * at the renderer's object path under the bus name that the plugin name and the uuid compose,
 * with the introspection of the interface files. Every call becomes a call of the renderer's
 * own operation:
 *
 * \list
 * \li A command whose operation returns false is answered with an error.
 * \li get_status, get_position, get_current_media_info and get_extension_property are answered
 *     when the renderer calls back the receiver it was given, from inside the call or later. A
 *     caller has at most 256 such calls waiting and the renderer at most 1024 receivers out; a call
 *     waits at most KestShared::replyTimeout() and is then answered with an error; the calls of a
 *     caller that leaves the bus are dropped. The receivers stay alive until the renderer has
 *     called them, however late, so a renderer may keep plain pointers to them.
 * \li Arguments that the renderer could not take (a URI that does not parse, a seek mode that
 *     does not exist, a playlist that the core registry does not hold) are refused with
 *     org.freedesktop.DBus.Error.InvalidArgs before they reach it.
 * \endlist
 *
 * Each bus method takes the bus call as its last argument and answers it itself: with an empty
 * reply, the answer the renderer called back with, or an error. Every error's text is a code, a
 * colon and a text ("3:The renderer refused play."), as KestProxyRenderer reads it: code 3, since
 * the renderer reports no codes of its own; the D-Bus error name tells the kind of failure.
 *
 * The renderer's signals go out as the bus signals of the interface, and every change of one of
 * its dynamic properties (which the base KestRenderer::setKestProperty() stores, from the bus or
 * from the application) as property_changed. nameChanged() has no bus signal.
 *
 * Like every QDBusAbstractAdaptor it is a child of the object it exports and lives as long as it
 * does: withdraw() takes the renderer off the bus, and init() may put it back.
 */
class QKESTSHARED_EXPORT KestRendererAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.renderer")
    // interfaces/com.zorvo.kest.renderer.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_RENDERER_INTROSPECTION)
public:
    /*! An adaptor for \a renderer, as its child; nothing goes on the bus before init(). */
    explicit KestRendererAdaptor(KestRenderer &renderer);
    /*! Withdraws the renderer from the bus. */
    ~KestRendererAdaptor() override;

    /*!
     * Registers the renderer at its object path, claims its bus name, starts relaying its signals
     * and announces it with new_renderer on the registry path. Returns true when the renderer is
     * on the bus, at once when it is there already. Returns false, after a warning, when the
     * plugin name or uuid cannot stand in a bus name, or the path or name is taken; then nothing
     * is kept and nothing relayed.
     */
    bool init();
    /*!
     * Gives up the bus name, unregisters the path, stops relaying and answers the calls still
     * waiting with an error. The renderer is left as it is.
     */
    void withdraw();
    /*! Returns true when init() has put the renderer on the bus and it has not been withdrawn since. */
    bool isPublished() const;

    // The bus methods; each answers the call itself, as the class description says.
public Q_SLOTS:
    /*! Calls KestRenderer::play() for the bus call \a message. */
    void play(const QDBusMessage &message);
    /*!
     * Calls KestRenderer::play(const QUrl &, uint) with \a uri, in its encoded form, and \a value
     * for the bus call \a message; a \a uri that does not parse is refused.
     */
    void play_uri(const QString &uri, uint value, const QDBusMessage &message);
    /*!
     * Calls KestRenderer::play(const QUrl &, const QString &) with \a uri, in its encoded form, and
     * \a contentType for the bus call \a message; a \a uri that does not parse is refused.
     */
    void play_uri_content_type(const QString &uri, const QString &contentType, const QDBusMessage &message);
    /*! Calls KestRenderer::stop() for the bus call \a message. */
    void stop(const QDBusMessage &message);
    /*! Calls KestRenderer::pause() for the bus call \a message. */
    void pause(const QDBusMessage &message);
    /*! Calls KestRenderer::pauseAt() with \a value for the bus call \a message. */
    void pause_at(uint value, const QDBusMessage &message);
    /*! Calls KestRenderer::resume() for the bus call \a message. */
    void resume(const QDBusMessage &message);
    /*! Calls KestRenderer::next() for the bus call \a message. */
    void next(const QDBusMessage &message);
    /*! Calls KestRenderer::previous() for the bus call \a message. */
    void previous(const QDBusMessage &message);
    /*! Calls KestRenderer::gotoIndex() with \a index for the bus call \a message. */
    void goto_index(uint index, const QDBusMessage &message);
    /*!
     * Calls KestRenderer::setPosition() with \a position and \a mode for the bus call \a message;
     * a \a mode that is no KestRenderer::SeekMode is refused.
     */
    void set_position(int position, int mode, const QDBusMessage &message);
    /*!
     * Calls KestRenderer::assignPlaylist() with the registry's playlist \a playlistId, or with
     * nullptr for an empty id, for the bus call \a message; an id that the registry does not hold
     * is refused.
     */
    void assign_playlist(const QString &playlistId, const QDBusMessage &message);
    /*! Calls KestRenderer::getStatus() and answers the bus call \a message when the renderer calls back. */
    void get_status(const QDBusMessage &message);
    /*! Calls KestRenderer::getPosition() and answers the bus call \a message when the renderer calls back. */
    void get_position(const QDBusMessage &message);
    /*!
     * Calls KestRenderer::getCurrentMediaInfo() with \a argument and answers the bus call
     * \a message when the renderer calls back.
     */
    void get_current_media_info(const QString &argument, const QDBusMessage &message);

private:
    std::unique_ptr<KestRendererAdaptorPrivate> const d;
};

#endif
