#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# An independent D-Bus client on GLib's D-Bus implementation, driven by KestBusClient (kestbusclient.h)
# with a plan in JSON: {"watch": [interface, ...], "waitFor": member, "calls": [{"service", "path", ...}]}.

import json
import sys

from gi.repository import Gio, GLib


def main():
    plan = json.loads(sys.argv[1])
    address = Gio.dbus_address_get_for_bus_sync(Gio.BusType.SESSION, None)
    flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
    bus, monitor = [Gio.DBusConnection.new_for_address_sync(address, flags, None, None) for _ in range(2)]

    # A monitoring connection sees every reply on the bus, so extra replies cannot hide.
    replies = {}

    def count_reply(connection, message, incoming):
        if message.get_destination() == bus.get_unique_name() and message.get_reply_serial():
            replies[message.get_reply_serial()] = replies.get(message.get_reply_serial(), 0) + 1
        return message

    monitor.add_filter(count_reply)
    monitor.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Monitoring",
                      "BecomeMonitor", GLib.Variant("(asu)", (["type='method_return'", "type='error'"], 0)),
                      None, Gio.DBusCallFlags.NONE, -1, None)

    signals = []
    for interface in plan["watch"]:
        bus.signal_subscribe(None, interface, None, None, None, Gio.DBusSignalFlags.NONE,
                             lambda c, sender, path, i, member, parameters: signals.append(
                                 {"signal": member, "type": parameters.get_type_string()}))

    context = GLib.MainContext.default()

    def run_until(condition):
        deadline = GLib.get_monotonic_time() + 20 * 1000000
        while not condition() and GLib.get_monotonic_time() < deadline:
            context.iteration(False) or GLib.usleep(1000)
        return condition()

    print(json.dumps({"ready": True}), flush=True)
    if plan["waitFor"] and not run_until(lambda: any(s["signal"] == plan["waitFor"] for s in signals)):
        return 1

    results = []
    for call in plan["calls"]:
        message = Gio.DBusMessage.new_method_call(call["service"], call["path"], call["interface"], call["member"])
        if call["signature"]:
            message.set_body(GLib.Variant("(" + call["signature"] + ")", tuple(call["args"])))
        reply, serial = bus.send_message_with_reply_sync(message, Gio.DBusSendMessageFlags.NONE, -1, None)
        body = reply.get_body()
        result = {"serial": serial, "type": body.get_type_string() if body else "()",
                  "value": list(body.unpack()) if body else []}
        if reply.get_message_type() == Gio.DBusMessageType.ERROR:
            result["error"] = reply.get_error_name()
        if result["type"] == "(v)":
            result["inner"] = body.get_child_value(0).get_variant().get_type_string()
        results.append(result)

    # Replies from one sender arrive in order: once the reply to this ping has been seen, so has every
    # reply sent before it, and so have the signals.
    ping = Gio.DBusMessage.new_method_call(plan["calls"][-1]["service"], "/", "org.freedesktop.DBus.Peer", "Ping")
    _, ping_serial = bus.send_message_with_reply_sync(ping, Gio.DBusSendMessageFlags.NONE, -1, None)
    run_until(lambda: ping_serial in replies)
    while context.iteration(False):
        pass

    for line in signals + results:
        line["replies"] = replies.get(line.pop("serial", None), 0)
        print(json.dumps(line), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
