#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# A remote source written against python3-dbus, independent of the library: it answers
# browse and query with fixed ids and then pushes results back to the caller's result
# receiver, with a metadata block packed by struct.pack.
#
#   kestpythonsource.py SERVICE SOURCE_PATH RECEIVER_PATH

import struct
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SOURCE_INTERFACE = "com.zorvo.kest.source"
EXTENSION_INTERFACE = "com.zorvo.kest.extension"
RECEIVER_INTERFACE = "com.zorvo.kest.proxy_source"


def entry(key, code, value):
    # key, zero byte, a word the reader skips, the type code, the value; host byte order.
    return key.encode("latin-1") + b"\0" + struct.pack("=ii", 0x5A5A5A5A, code) + value


def c_string(text):
    return text.encode("latin-1") + b"\0"


def metadata_block():
    return b"".join([
        entry("char", 12, struct.pack("=b", -1)),
        entry("bool", 20, struct.pack("=i", 5)),
        entry("int", 24, struct.pack("=i", -123456)),
        entry("uint", 28, struct.pack("=I", 4000000000)),
        entry("int64", 40, struct.pack("=q", -5000000000)),
        entry("uint64", 44, struct.pack("=Q", 18000000000000000000)),
        entry("double", 60, struct.pack("=d", 0.1)),
        entry("title", 64, c_string("Caf\u00e9")),
        entry("empty", 64, c_string("")),
    ])


class Source(dbus.service.Object):
    def __init__(self, bus, path, receiver_path):
        super().__init__(bus, path)
        self.bus = bus
        self.receiver_path = receiver_path

    def push(self, caller, member, signature, arguments):
        def send():
            self.bus.call_async(caller, self.receiver_path, RECEIVER_INTERFACE, member, signature, arguments,
                                lambda *reply: None, lambda error: print("kestpythonsource:", error, file=sys.stderr))
            return False
        # After the start call has been answered.
        GLib.idle_add(send)

    @dbus.service.method(SOURCE_INTERFACE, in_signature="ssasuu", out_signature="u", sender_keyword="caller")
    def browse(self, object_id, predicate, keys, offset, count, caller=None):
        echo = "%s %s %s %d %d" % (object_id, predicate, ",".join(keys), offset, count)
        rows = dbus.Array([
            dbus.Struct((dbus.Int32(1), dbus.UInt32(0), echo, dbus.ByteArray(metadata_block()), "",
                         dbus.UInt32(0), "")),
            dbus.Struct((dbus.Int32(0), dbus.UInt32(1), "last", dbus.ByteArray(b""), "", dbus.UInt32(0), "")),
        ], signature="(iusaysus)")
        self.push(caller, "browse_result", "ua(iusaysus)", (dbus.UInt32(61), rows))
        return dbus.UInt32(61)

    @dbus.service.method(SOURCE_INTERFACE, in_signature="s", out_signature="u", sender_keyword="caller")
    def query(self, text, caller=None):
        rows = dbus.Array([
            dbus.Struct((dbus.UInt32(5), dbus.Array([text, "b"], signature="s"))),
            dbus.Struct((dbus.UInt32(6), dbus.Array([], signature="s"))),
        ], signature="(uas)")
        self.push(caller, "query_result", "uia(uas)is", (dbus.UInt32(62), dbus.Int32(0), rows, dbus.Int32(0), ""))
        return dbus.UInt32(62)

    @dbus.service.method(EXTENSION_INTERFACE, in_signature="", out_signature="s")
    def get_name(self):
        return "Python"


def main():
    service, path, receiver_path = sys.argv[1:4]
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    source = Source(bus, path, receiver_path)  # noqa: F841 (kept for the life of the loop)
    name = dbus.service.BusName(service, bus)  # noqa: F841
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
