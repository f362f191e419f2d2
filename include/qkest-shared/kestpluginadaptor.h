// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLUGINADAPTOR_H
#define KESTPLUGINADAPTOR_H

#include "qkestshared_export.h"

#include <QDBusAbstractAdaptor>
#include <QString>

#include <memory>

class KestPluginAdaptorPrivate;
class KestPluginControlInterface;

/*!
 * \class KestPluginAdaptor
 * \brief Serves a plugin process's KestPluginControlInterface on the session bus as
 * "com.zorvo.kest.plugin", so that applications activate and deactivate the plugin through their
 * control proxies.
 *
 * KestShared::publishPlugin() creates it; an application rarely needs it directly. activate and
 * deactivate call the control interface's own operations. Like every QDBusAbstractAdaptor it is a
 * child of the object it exports and lives as long as it does: withdraw() takes the plugin off the
 * bus, and init() may put it back.
 */
class QKESTSHARED_EXPORT KestPluginAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.plugin")
    // interfaces/com.zorvo.kest.plugin.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PLUGIN_INTROSPECTION)
public:
    //! Adapts \a control, whose child it becomes, for plugin \a pluginName; nothing goes on the bus yet.
    KestPluginAdaptor(KestPluginControlInterface &control, const QString &pluginName);
    //! Withdraws the plugin from the bus.
    ~KestPluginAdaptor() override;

    //! The plugin name given at construction.
    QString pluginName() const;
    /*!
     * Registers the control interface at the plugin's path, claims the plugin's bus name (the one
     * that the bus daemon activates, when the plugin is installed as an activatable service) and
     * announces the plugin with new_plugin. False, after a warning, when the plugin name cannot
     * stand in a bus name and a path, or the path or name is taken; then nothing is kept.
     */
    bool init();
    //! Gives up the bus name and the path.
    void withdraw();
    //! Whether init() has put the plugin on the bus and it has not been withdrawn since.
    bool isPublished() const;

public Q_SLOTS:
    //! KestPluginControlInterface::activate().
    void activate();
    //! KestPluginControlInterface::deactivate().
    void deactivate();

private:
    std::unique_ptr<KestPluginAdaptorPrivate> const d;
};

#endif
