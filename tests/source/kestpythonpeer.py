#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# A renderer or a source written with python3-dbus, to hold the library's wire formats against another
# D-Bus implementation: kestpythonpeer.py renderer SERVICE PATH | source SERVICE PATH RECEIVER_PATH

import struct
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

RENDERER = "com.zorvo.kest.renderer"
SOURCE = "com.zorvo.kest.source"
TYPE_CODES = {dbus.String: "s", dbus.Int32: "i", dbus.UInt32: "u"}


class Renderer(dbus.service.Object):
    @dbus.service.method(RENDERER, in_signature="s", out_signature="(sa{sav})")
    def get_current_media_info(self, argument):
        metadata = {"title": ["Blue in Green"], "artist": ["Miles Davis", "Bill Evans"],
                    "duration": [dbus.UInt32(337)]}
        return ("py-uuid", dbus.Dictionary({key: dbus.Array(values, signature="v")
                                            for key, values in metadata.items()}, signature="sav"))

    # The signature, the uuid, then each key with the type and variant depth of each of its values.
    @dbus.service.method(RENDERER, in_signature="(sa{sav})", out_signature="s", message_keyword="message")
    def describe_media_info(self, info, message=None):
        return " ".join([message.get_signature(), info[0]] + [
            key + ":" + ",".join("%s%d" % (TYPE_CODES.get(type(v), "?"), v.variant_level) for v in values)
            for key, values in info[1].items()])


def entry(key, code, value):  # host byte order, as the sources write it
    return key.encode("latin-1") + b"\0" + struct.pack("=ii", 0x5A5A5A5A, code) + value


class Source(dbus.service.Object):
    def __init__(self, bus, path, receiver_path):
        super().__init__(bus, path)
        self.bus = bus
        self.receiver_path = receiver_path

    def push(self, caller, member, signature, arguments):
        # After the start call has been answered.
        GLib.idle_add(lambda: self.bus.call_async(caller, self.receiver_path, "com.zorvo.kest.proxy_source", member,
                                                  signature, arguments, None, print) and False)

    @dbus.service.method(SOURCE, in_signature="ssasuu", out_signature="u", sender_keyword="caller")
    def browse(self, object_id, predicate, keys, offset, count, caller=None):
        block = b"".join([entry("char", 12, struct.pack("=b", -1)), entry("bool", 20, struct.pack("=i", 5)),
                          entry("int", 24, struct.pack("=i", -123456)), entry("double", 60, struct.pack("=d", 0.1)),
                          entry("uint", 28, struct.pack("=I", 4000000000)),
                          entry("int64", 40, struct.pack("=q", -5000000000)),
                          entry("uint64", 44, struct.pack("=Q", 18000000000000000000)),
                          entry("title", 64, "Caf\u00e9".encode("latin-1") + b"\0"), entry("empty", 64, b"\0")])
        rows = [(1, dbus.UInt32(0), "first", dbus.ByteArray(block), "", dbus.UInt32(0), ""),
                (0, dbus.UInt32(1), "last", dbus.ByteArray(b""), "", dbus.UInt32(0), "")]
        self.push(caller, "browse_result", "ua(iusaysus)", (61, rows))
        return dbus.UInt32(61)

    @dbus.service.method(SOURCE, in_signature="s", out_signature="u", sender_keyword="caller")
    def query(self, text, caller=None):
        self.push(caller, "query_result", "uia(uas)is", (62, 0, [(5, [text, "b"]), (6, dbus.Array([], "s"))], 0, ""))
        return dbus.UInt32(62)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    role, service, path = sys.argv[1:4]
    peer = Renderer(bus, path) if role == "renderer" else Source(bus, path, sys.argv[4])  # noqa: F841
    name = dbus.service.BusName(service, bus)  # noqa: F841 (owned last: the object is served by then)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
