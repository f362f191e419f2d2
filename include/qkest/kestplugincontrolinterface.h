// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLUGINCONTROLINTERFACE_H
#define KESTPLUGINCONTROLINTERFACE_H

#include "qkest_export.h"

#include <QObject>

/*!
 * Control of one plugin process: tells it to activate or deactivate its components.
 */
class QKEST_EXPORT KestPluginControlInterface : public QObject
{
    Q_OBJECT
public:
    explicit KestPluginControlInterface(QObject *parent = nullptr);
    ~KestPluginControlInterface() override;

    virtual void activate();
    virtual void deactivate();
};

#endif
