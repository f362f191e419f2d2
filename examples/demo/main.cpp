// Demonstration of libqkest-shared on a private session bus.

#include "kestdemobus.h"

#include <kestregistry.h>
#include <kestshared.h>

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

namespace {

void say(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    KestDemoBus bus;
    if (!bus.start(QStringLiteral(KEST_DEMO_BUS_CONFIG))) {
        say(QStringLiteral("Could not start a private dbus-daemon."));
        return 1;
    }
    say(QStringLiteral("Private session bus at %1").arg(bus.address()));

    KestShared *tracker = KestShared::instance();
    const bool initialized = tracker->initialize(KestShared::TrackSources | KestShared::TrackRenderers
                                                 | KestShared::TrackPlaylists | KestShared::TrackRendererSignals);
    say(QStringLiteral("Tracker initialised: %1 (connection %2)")
            .arg(initialized ? QStringLiteral("yes") : QStringLiteral("no"),
                 QDBusConnection::sessionBus().baseService()));

    KestRegistry *registry = KestRegistry::instance();
    say(QStringLiteral("Registry: %1 renderers, %2 sources, %3 playlists")
            .arg(registry->renderers().size())
            .arg(registry->sources().size())
            .arg(registry->playlists().size()));
    return initialized ? 0 : 1;
}
