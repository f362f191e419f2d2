#include "playlistitem.h"

QDBusArgument &operator<<(QDBusArgument &argument, const playlistItem &item)
{
    argument.beginStructure();
    argument << item.index << item.uuid;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, playlistItem &item)
{
    argument.beginStructure();
    argument >> item.index >> item.uuid;
    argument.endStructure();
    return argument;
}
