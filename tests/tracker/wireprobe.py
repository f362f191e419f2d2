#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# An independent D-Bus peer (python3-dbus) that reports what arrives on the wire.
#
#   wireprobe.py BUSNAME
#
# A method call Inspect (any path, any interface) with any arguments is answered with two strings:
# the message signature and the arguments as Python sees them.

import sys

import dbus
import dbus.mainloop.glib
import dbus.lowlevel
import dbus.service
from gi.repository import GLib

def plain(value):
    if isinstance(value, (dbus.Array, list)):
        return [plain(v) for v in value]
    if isinstance(value, (dbus.Struct, tuple)):
        return tuple(plain(v) for v in value)
    if isinstance(value, dbus.Dictionary):
        return {plain(k): plain(v) for k, v in sorted(value.items())}
    if isinstance(value, (dbus.String, dbus.ObjectPath, dbus.Signature)):
        return str(value)
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.Byte, dbus.Int16, dbus.UInt16, dbus.Int32, dbus.UInt32, dbus.Int64, dbus.UInt64)):
        return int(value)
    if isinstance(value, dbus.Double):
        return float(value)
    return value


def inspect(bus, message):
    if not isinstance(message, dbus.lowlevel.MethodCallMessage) or message.get_member() != "Inspect":
        return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED
    reply = dbus.lowlevel.MethodReturnMessage(message)
    reply.append(message.get_signature() or "", repr([plain(a) for a in message.get_args_list()]),
                 signature="ss")
    bus.send_message(reply)
    return dbus.lowlevel.HANDLER_RESULT_HANDLED


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    bus.add_message_filter(inspect)
    name = dbus.service.BusName(sys.argv[1], bus)  # noqa: F841 (kept for the life of the loop)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
