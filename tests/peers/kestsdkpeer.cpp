// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A plugin process written on the publishing API alone, for the tests of published components.
//
//   kest-sdk-peer --plugin NAME --renderer UUID --source UUID [--timeout MS] [--track] --control NAME
//
// It publishes a recording renderer and source (see kestrecordingrenderer.h, kestrecordingsource.h)
// and itself as the plugin's control interface, with a tracker of every kind when --track says so.
// The test drives it through "/kesttest/control" as KestTestPeer drives every peer: Script() says
// how an operation answers, Seen() tells what the local objects saw, Emit() makes the renderer or
// the source emit a signal.

#include "kestrecordingrenderer.h"
#include "kestrecordingsource.h"
#include "kestsdkscript.h"

#include <kestplugincontrolinterface.h>
#include <kestregistry.h>
#include <kestshared.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>

#include <cstdio>

class KestSdkPeer : public KestPluginControlInterface
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kesttest.Control")
public:
    KestSdkPeer(const QString &plugin, const QString &renderer, const QString &source)
        : m_plugin(plugin)
        , m_renderer(m_script, renderer, plugin)
        , m_source(m_script, source, plugin)
    {
    }

    void activate() override { m_script.seen << QStringLiteral("activate"); }
    void deactivate() override { m_script.seen << QStringLiteral("deactivate"); }

public Q_SLOTS:
    Q_SCRIPTABLE bool Publish()
    {
        KestShared *shared = KestShared::instance();
        return shared->publishRenderer(&m_renderer) && shared->publishSource(&m_source)
            && shared->publishPlugin(m_plugin, this);
    }
    //! True when every component went off the bus, and is still alive here.
    Q_SCRIPTABLE bool Unpublish()
    {
        KestShared *shared = KestShared::instance();
        return shared->unPublishRenderer(&m_renderer) && shared->unPublishSource(&m_source)
            && shared->unPublishPlugin(m_plugin) && !m_renderer.uuid().isEmpty() && !m_source.uuid().isEmpty();
    }
    Q_SCRIPTABLE void Script(const QString &member, const QString &outcome, const QVariantList &arguments)
    {
        m_script.answers.insert(member, {outcome, arguments});
    }
    Q_SCRIPTABLE QStringList Seen() const { return m_script.seen; }
    Q_SCRIPTABLE void Reset()
    {
        m_script.seen.clear();
        m_script.answers.clear();
    }
    //! Calls back every receiver held by a "noreply" answer, late.
    Q_SCRIPTABLE int CallBackKept()
    {
        const auto kept = std::exchange(m_script.kept, {});
        for (const auto &callBack : kept)
            callBack();
        return int(kept.size());
    }
    //! Emits \a signal of the renderer (or kestPropertyChanged of the source) with \a arguments.
    Q_SCRIPTABLE bool Emit(const QString &, const QString &, const QString &signal, const QVariantList &a)
    {
        const auto is = [&signal](const char *name) { return signal == QLatin1String(name); };
        if (is("stateChanged"))
            Q_EMIT m_renderer.stateChanged(KestRenderer::State(a.value(0).toInt()));
        else if (is("mediaChanged"))
            Q_EMIT m_renderer.mediaChanged(a.value(0).toInt(), KestContent(a.value(1).toString()));
        else if (is("playlistChanged"))
            Q_EMIT m_renderer.playlistChanged(nullptr);
        else if (is("playbackCompleted"))
            Q_EMIT m_renderer.playbackCompleted();
        else if (is("metadataChanged"))
            Q_EMIT m_renderer.metadataChanged(a.value(0).toString(), a.mid(1));
        else if (is("bufferingInfo"))
            Q_EMIT m_renderer.bufferingInfo(a.value(0).toFloat());
        else if (is("scanningInfo"))
            Q_EMIT m_renderer.scanningInfo(a.value(0).toFloat());
        else if (is("error"))
            Q_EMIT m_renderer.error(KestError(a.value(0).toInt(), a.value(1).toString()));
        else if (is("setProperty"))
            m_renderer.setProperty(a.value(0).toString().toLatin1().constData(), a.value(1));
        else if (is("kestPropertyChanged"))
            Q_EMIT m_source.kestPropertyChanged(a.value(0).toString(), a.value(1));
        else
            return false;
        return true;
    }
    //! The registry's renderers and sources, as "uuid class".
    Q_SCRIPTABLE QStringList Registered() const
    {
        QStringList result;
        for (KestRenderer *renderer : KestRegistry::instance()->renderers())
            result << renderer->uuid() + QLatin1Char(' ') + QLatin1String(renderer->metaObject()->className());
        for (KestSource *source : KestRegistry::instance()->sources())
            result << source->uuid() + QLatin1Char(' ') + QLatin1String(source->metaObject()->className());
        return result;
    }
    Q_SCRIPTABLE void Quit() { QCoreApplication::exit(0); }

private:
    const QString m_plugin;
    KestSdkScript m_script;
    KestRecordingRenderer m_renderer;
    KestRecordingSource m_source;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    for (const char *option : {"plugin", "renderer", "source", "timeout", "control"})
        parser.addOption({QLatin1String(option), QString(), QStringLiteral("value")});
    parser.addOption({QStringLiteral("track"), QString()});
    parser.process(app);

    KestShared *shared = KestShared::instance();
    if (parser.isSet(QStringLiteral("timeout")))
        shared->setReplyTimeout(parser.value(QStringLiteral("timeout")).toInt());
    const KestShared::TrackFlagSet track = parser.isSet(QStringLiteral("track"))
        ? KestShared::TrackFlagSet(KestShared::TrackPlugins | KestShared::TrackSources | KestShared::TrackRenderers)
        : KestShared::TrackFlagSet();
    KestSdkPeer peer(parser.value(QStringLiteral("plugin")), parser.value(QStringLiteral("renderer")),
                     parser.value(QStringLiteral("source")));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!shared->initialize(track) || !peer.Publish()
        || !bus.registerObject(QStringLiteral("/kesttest/control"), &peer, QDBusConnection::ExportScriptableSlots)
        || !bus.registerService(parser.value(QStringLiteral("control")))) {
        std::fprintf(stderr, "kest-sdk-peer: cannot set up\n");
        return 1;
    }
    // Never outlive the test's bus: Qt tells nobody when the daemon goes away.
    QTimer busWatch;
    QObject::connect(&busWatch, &QTimer::timeout, &app, [&bus] {
        if (!bus.isConnected())
            QCoreApplication::exit(0);
    });
    busWatch.start(500);
    return app.exec();
}

#include "kestsdkpeer.moc"
