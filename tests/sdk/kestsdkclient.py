#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# A client of a published renderer and source written with python3-dbus, to hold what the library
# serves against another D-Bus implementation: the signature of every reply and result call, the
# texts of errors, and the metadata blocks, decoded here with struct.
#
#   kestsdkclient.py RENDERER_SERVICE RENDERER_PATH SOURCE_SERVICE SOURCE_PATH RECEIVER_PATH

import struct
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

CODES = {dbus.String: "s", dbus.Int32: "i", dbus.UInt32: "u", dbus.Int64: "x", dbus.UInt64: "t",
         dbus.Double: "d", dbus.Boolean: "b", dbus.Byte: "y"}
VALUES = {12: ("=b", 1), 20: ("=i", 4), 24: ("=i", 4), 28: ("=I", 4), 40: ("=q", 8), 44: ("=Q", 8), 60: ("=d", 8)}


def text(value):
    if isinstance(value, (list, tuple)):
        return "[" + " ".join(text(v) for v in value) + "]"
    if isinstance(value, dict):
        return "{" + " ".join(k + "=" + text(v) for k, v in sorted(value.items())) + "}"
    return ("%s%d:" % (CODES.get(type(value), "?"), value.variant_level) if value.variant_level else "") + str(value)


def decode(block):
    """Entries key:code=value, in block order, or 'malformed'."""
    block, entries = bytes(block), []
    while block:
        key, zero, block = block.partition(b"\0")
        if not zero or len(block) < 8:
            return "malformed"
        size, code = struct.unpack("=ii", block[:8])
        block = block[8:]
        if code == 64:
            value, zero, block = block.partition(b"\0")
            value = value.decode("latin-1")
            if not zero or size != len(value) + 1:
                return "malformed"
        elif code in VALUES and len(block) >= VALUES[code][1] == size:
            value = struct.unpack(VALUES[code][0], block[:size])[0]
            block = block[size:]
        else:
            return "malformed"
        entries.append("%s:%d=%s" % (key.decode("latin-1"), code, value))
    return ",".join(entries)


class Receiver(dbus.service.Object):
    def __init__(self, bus, path, loop):
        super().__init__(bus, path)
        self.loop = loop

    @dbus.service.method("com.zorvo.kest.proxy_source", in_signature="ua(iusaysus)", message_keyword="message")
    def browse_result(self, browse_id, rows, message=None):
        print("browse_result", message.get_signature(), browse_id, len(rows), flush=True)
        for row in rows:
            print("  row", int(row[0]), int(row[1]), row[2], decode(row[3]), row[4], int(row[5]), row[6], flush=True)
        if not rows:
            self.loop.quit()

    @dbus.service.method("com.zorvo.kest.proxy_source", in_signature="uia(uas)is", message_keyword="message")
    def query_result(self, query_id, remaining, rows, code, error, message=None):
        print("query_result", message.get_signature(), query_id, remaining, text(rows), code, repr(str(error)),
              flush=True)
        if remaining == 0 and not rows:
            self.loop.quit()


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    renderer, renderer_path, source, source_path, receiver_path = sys.argv[1:6]
    loop = GLib.MainLoop()
    receiver = Receiver(bus, receiver_path, loop)  # noqa: F841

    def call(service, path, interface, member, signature="", args=()):
        message = dbus.lowlevel.MethodCallMessage(service, path, "com.zorvo.kest." + interface, member)
        if signature:
            message.append(signature=signature, *args)
        try:
            reply = bus.send_message_with_reply_and_block(message, 5000)
            print(member, reply.get_signature(), text(reply.get_args_list()), flush=True)
            return reply.get_args_list()
        except dbus.DBusException as error:
            print(member, "error", error.get_dbus_name(), error.get_dbus_message(), flush=True)

    call(renderer, renderer_path, "renderer", "get_position")
    call(renderer, renderer_path, "renderer", "get_status")
    call(renderer, renderer_path, "renderer", "get_current_media_info", "s", ["now"])
    call(renderer, renderer_path, "renderer", "play")
    call(renderer, renderer_path, "renderer", "set_position", "ii", [1, 9])
    call(renderer, renderer_path, "extension", "get_name")
    call(renderer, renderer_path, "extension", "get_extension_property", "s", ["gain"])
    call(renderer, renderer_path, "extension", "get_extension_property", "s", ["nothing"])
    for member, signature, args in (("browse", "ssasuu", ["s1::", "", ["t"], 0, 0]), ("query", "s", ["q"])):
        if call(source, source_path, "source", member, signature, args):
            GLib.timeout_add(10000, loop.quit)
            loop.run()


if __name__ == "__main__":
    main()
