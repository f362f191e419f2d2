#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# A remote renderer written with python-dbus, so that KestMediaInfo's (sa{sav}) is checked against
# a D-Bus implementation other than Qt's.
#
#   kest-mediainfo-peer.py SERVICE PATH INTERFACE
#
# get_current_media_info(s) answers with a struct built here, its keys deliberately not sorted.
# describe_media_info((sa{sav})) answers with JSON telling how the struct arrived: the message
# signature, the uuid, and the keys in wire order with the D-Bus type inside each variant.

import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

# The names come from the test, which composes them like the library does.
SERVICE, PATH, RENDERER_INTERFACE = sys.argv[1:4]

TYPE_CODES = {
    dbus.String: "s",
    dbus.Int32: "i",
    dbus.UInt32: "u",
    dbus.Int64: "x",
    dbus.Double: "d",
    dbus.Boolean: "b",
}


class Renderer(dbus.service.Object):
    @dbus.service.method(RENDERER_INTERFACE, in_signature="s", out_signature="(sa{sav})")
    def get_current_media_info(self, argument):
        metadata = dbus.Dictionary(signature="sav")
        metadata["title"] = dbus.Array([dbus.String("Blue in Green")], signature="v")
        metadata["artist"] = dbus.Array([dbus.String("Miles Davis"), dbus.String("Bill Evans")], signature="v")
        metadata["duration"] = dbus.Array([dbus.UInt32(337)], signature="v")
        metadata["argument"] = dbus.Array([dbus.String(argument)], signature="v")
        return dbus.Struct((dbus.String("py-uuid"), metadata), signature="sa{sav}")

    @dbus.service.method(RENDERER_INTERFACE, in_signature="(sa{sav})", out_signature="s",
                         message_keyword="message")
    def describe_media_info(self, info, message=None):
        uuid, metadata = info
        entries = []
        for key, values in metadata.items():
            entries.append([str(key), [[TYPE_CODES.get(type(v), type(v).__name__), v.variant_level]
                                       for v in values]])
        return json.dumps({"signature": message.get_signature(), "uuid": str(uuid), "entries": entries})


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    renderer = Renderer(bus, PATH)
    # Owned last, so that the object is served once the test sees the name.
    name = dbus.service.BusName(SERVICE, bus)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
