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
