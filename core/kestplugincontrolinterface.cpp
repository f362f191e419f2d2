// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestplugincontrolinterface.h"

KestPluginControlInterface::KestPluginControlInterface(QObject *parent)
    : QObject(parent)
{
}

KestPluginControlInterface::~KestPluginControlInterface() = default;

void KestPluginControlInterface::activate()
{
}

void KestPluginControlInterface::deactivate()
{
}
