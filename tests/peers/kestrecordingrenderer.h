// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTRECORDINGRENDERER_H
#define KESTRECORDINGRENDERER_H

#include "kestsdkscript.h"

#include <kestcallbackhelper.h>
#include <kestplaylist.h>
#include <kestrenderer.h>

// A local renderer that records every operation and answers as scripted.
class KestRecordingRenderer : public KestRenderer
{
    Q_OBJECT
public:
    KestRecordingRenderer(KestSdkScript &script, const QString &uuid, const QString &plugin)
        : KestRenderer(uuid, plugin)
        , m_script(script)
    {
        m_name = QStringLiteral("Recorded renderer");
    }

    bool play() override { return m_script.take(QStringLiteral("play"), QStringLiteral("play")); }
    bool play(const QUrl &url, uint value) override
    {
        return m_script.take(QStringLiteral("play"), QStringLiteral("play %1 %2").arg(url.toString()).arg(value));
    }
    bool play(const QUrl &url, const QString &type) override
    {
        return m_script.take(QStringLiteral("play"), QStringLiteral("play %1 %2").arg(url.toString(), type));
    }
    bool stop() override { return m_script.take(QStringLiteral("stop"), QStringLiteral("stop")); }
    bool pause() override { return m_script.take(QStringLiteral("pause"), QStringLiteral("pause")); }
    bool pauseAt(uint at) override
    {
        return m_script.take(QStringLiteral("pauseAt"), QStringLiteral("pauseAt %1").arg(at));
    }
    bool resume() override { return m_script.take(QStringLiteral("resume"), QStringLiteral("resume")); }
    bool next() override { return m_script.take(QStringLiteral("next"), QStringLiteral("next")); }
    bool previous() override { return m_script.take(QStringLiteral("previous"), QStringLiteral("previous")); }
    bool gotoIndex(uint index) override
    {
        return m_script.take(QStringLiteral("gotoIndex"), QStringLiteral("gotoIndex %1").arg(index));
    }
    bool setPosition(int position, SeekMode mode) override
    {
        return m_script.take(QStringLiteral("setPosition"),
                             QStringLiteral("setPosition %1 %2").arg(position).arg(mode));
    }
    bool assignPlaylist(KestPlaylist *playlist) override
    {
        return m_script.take(QStringLiteral("assignPlaylist"),
                             QStringLiteral("assignPlaylist ") + (playlist ? playlist->id() : QStringLiteral("none")));
    }
    bool getStatus(QObject *receiver, const char *member) override
    {
        return m_script.respond(QStringLiteral("getStatus"), QStringLiteral("getStatus"), [=](const QVariantList &a) {
            KestCallbackHelper::invokeGetStatusCallback(this, a.value(0).toString(), a.value(1).toUInt(),
                                                        a.value(2).toInt(), a.value(3).toString(), receiver, member);
        });
    }
    bool getPosition(QObject *receiver, const char *member) override
    {
        return m_script.respond(
            QStringLiteral("getPosition"), QStringLiteral("getPosition"), [=](const QVariantList &a) {
                KestCallbackHelper::invokeGetPositionCallback(this, a.value(0).toUInt(), receiver, member);
            });
    }
    bool getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument) override
    {
        return m_script.respond(QStringLiteral("getCurrentMediaInfo"),
                                QStringLiteral("getCurrentMediaInfo ") + argument, [=](const QVariantList &a) {
                                    KestMediaInfo info(a.value(0).toString());
                                    info.setMetaData({{a.value(1).toString(), a.mid(2)}});
                                    KestCallbackHelper::invokeGetMediaInfoCallback(this, info, receiver, member);
                                });
    }
    bool setKestProperty(const QString &name, const QVariant &value) override
    {
        return m_script.take(QStringLiteral("setKestProperty"),
                             QStringLiteral("setKestProperty %1 %2").arg(name, value.toString()))
            && KestRenderer::setKestProperty(name, value);
    }
    // The value set before, unless the script gives one.
    bool kestProperty(QString &name, QObject *receiver, const char *member) override
    {
        const QString asked = name;
        return m_script.respond(
            QStringLiteral("kestProperty"), QStringLiteral("kestProperty ") + asked, [=](const QVariantList &a) {
                KestCallbackHelper::invoke(receiver, member, asked,
                                           a.isEmpty() ? property(asked.toLatin1().constData()) : a.first());
            });
    }

private:
    KestSdkScript &m_script;
};

#endif
