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
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestpluginadaptor.h
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
    /*!
     * An adaptor for \a control, as its child, serving it as the plugin \a pluginName; nothing
     * goes on the bus before init().
     */
    KestPluginAdaptor(KestPluginControlInterface &control, const QString &pluginName);
    /*! Withdraws the plugin from the bus. */
    ~KestPluginAdaptor() override;

    /*! Returns the plugin name given at construction. */
    QString pluginName() const;
    /*!
     * Registers the control interface at the plugin's path, claims the plugin's bus name (the one
     * that the bus daemon activates, when the plugin is installed as an activatable service) and
     * announces the plugin with new_plugin. Returns true when the plugin is on the bus, at once
     * when it is there already. Returns false, after a warning, when the plugin name cannot stand
     * in a bus name and a path, or the path or name is taken; then nothing is kept.
     */
    bool init();
    /*! Gives up the bus name and the path; the control interface is not told. */
    void withdraw();
    /*! Returns true when init() has put the plugin on the bus and it has not been withdrawn since. */
    bool isPublished() const;

public Q_SLOTS:
    /*! Bus method activate: calls KestPluginControlInterface::activate(). */
    void activate();
    /*! Bus method deactivate: calls KestPluginControlInterface::deactivate(). */
    void deactivate();

private:
    std::unique_ptr<KestPluginAdaptorPrivate> const d;
};

#endif
