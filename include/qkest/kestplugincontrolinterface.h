// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLUGINCONTROLINTERFACE_H
#define KESTPLUGINCONTROLINTERFACE_H

#include "qkest_export.h"

#include <QObject>

/*!
 * \inmodule QKest
 * \inheaderfile kestplugincontrolinterface.h
 * \brief Control of one plugin process: tells it to activate or deactivate its components.
 *
 * The registry owns the interfaces registered in it. The default operations do nothing;
 * KestProxyPluginControlInterface reaches a plugin process on the bus.
 */
class QKEST_EXPORT KestPluginControlInterface : public QObject
{
    Q_OBJECT
public:
    /*! An interface that is a child of \a parent. */
    explicit KestPluginControlInterface(QObject *parent = nullptr);
    /*! Destroys the interface; the plugin process is not told. */
    ~KestPluginControlInterface() override;

    /*! Tells the plugin to register its components. The default does nothing. */
    virtual void activate();
    /*! Tells the plugin to withdraw its components. The default does nothing. */
    virtual void deactivate();
};

#endif
