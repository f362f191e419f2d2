#include "kestproxymodelerror.h"

#include <QDBusArgument>
#include <QDBusMetaType>

void KestProxyModelError::registerType()
{
    qRegisterMetaType<KestProxyModelError>("KestProxyModelError");
    qDBusRegisterMetaType<KestProxyModelError>();
}

QDBusArgument &operator<<(QDBusArgument &argument, const KestProxyModelError &error)
{
    argument.beginStructure();
    argument << error.value;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KestProxyModelError &error)
{
    argument.beginStructure();
    argument >> error.value;
    argument.endStructure();
    return argument;
}
