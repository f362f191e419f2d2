#include "kestproxymodelerror.h"

#include <QDBusArgument>

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
