#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

"""An independent D-Bus client for the playlist tests, built on GLib's D-Bus implementation.

Takes one JSON argument:
  {"watch": [interface, ...],        signals to record, from any sender and path
   "waitFor": member or null,        a signal to wait for before the calls
   "calls": [{"service", "path", "interface", "member", "signature", "args"}, ...]}

Prints {"ready": true} once the signals are watched, then one JSON object per line: every
recorded signal with its type string, and every call with the type string of its reply, the
type of the value inside a variant reply, and how many replies the caller was sent.
"""

import json
import sys
import threading

from gi.repository import Gio, GLib

TIMEOUT_SECONDS = 20


def main():
    plan = json.loads(sys.argv[1])
    address = Gio.dbus_address_get_for_bus_sync(Gio.BusType.SESSION, None)
    flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
    bus = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)

    # A second connection sees every reply on the bus, so extra replies cannot hide.
    replies = {}
    lock = threading.Lock()
    monitor = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)

    def count_reply(connection, message, incoming):
        if message.get_destination() == bus.get_unique_name() and message.get_message_type() in (
                Gio.DBusMessageType.METHOD_RETURN, Gio.DBusMessageType.ERROR):
            with lock:
                serial = message.get_reply_serial()
                replies[serial] = replies.get(serial, 0) + 1
        return message

    monitor.add_filter(count_reply)
    monitor.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Monitoring",
                      "BecomeMonitor", GLib.Variant("(asu)", (["type='method_return'", "type='error'"], 0)),
                      None, Gio.DBusCallFlags.NONE, -1, None)

    signals = []

    def record_signal(connection, sender, path, interface, member, parameters):
        signals.append({"signal": member, "path": path, "interface": interface,
                        "type": parameters.get_type_string(), "value": parameters.unpack()})

    for interface in plan.get("watch", []):
        bus.signal_subscribe(None, interface, None, None, None, Gio.DBusSignalFlags.NONE, record_signal)

    context = GLib.MainContext.default()

    def run_until(condition):
        deadline = GLib.get_monotonic_time() + TIMEOUT_SECONDS * 1000000
        while not condition() and GLib.get_monotonic_time() < deadline:
            context.iteration(False) or GLib.usleep(1000)
        return condition()

    print(json.dumps({"ready": True}), flush=True)
    wait_for = plan.get("waitFor")
    if wait_for and not run_until(lambda: any(s["signal"] == wait_for for s in signals)):
        print(json.dumps({"timeout": wait_for}), flush=True)
        return 1

    results = []
    for call in plan.get("calls", []):
        message = Gio.DBusMessage.new_method_call(call["service"], call["path"], call["interface"], call["member"])
        if call.get("signature"):
            message.set_body(GLib.Variant("(" + call["signature"] + ")", tuple(call.get("args", []))))
        reply, serial = bus.send_message_with_reply_sync(message, Gio.DBusSendMessageFlags.NONE, -1, None)
        body = reply.get_body()
        result = {"member": call["member"], "args": call.get("args", []), "serial": serial,
                  "type": body.get_type_string() if body is not None else "()",
                  "value": list(body.unpack()) if body is not None else []}
        if reply.get_message_type() == Gio.DBusMessageType.ERROR:
            result["error"] = reply.get_error_name()
        if body is not None and body.get_type_string() == "(v)":
            result["inner"] = body.get_child_value(0).get_variant().get_type_string()
        results.append(result)

    # Replies from one sender arrive in order: once the reply to this ping has been seen, so
    # has every reply sent before it, and so have the signals.
    ping = Gio.DBusMessage.new_method_call(plan["calls"][-1]["service"] if plan.get("calls") else "org.freedesktop.DBus",
                                           "/", "org.freedesktop.DBus.Peer", "Ping")
    _, ping_serial = bus.send_message_with_reply_sync(ping, Gio.DBusSendMessageFlags.NONE, -1, None)

    def ping_seen():
        with lock:
            return ping_serial in replies

    run_until(ping_seen)
    while context.iteration(False):
        pass

    for signal in signals:
        print(json.dumps(signal), flush=True)
    for result in results:
        with lock:
            result["replies"] = replies.get(result.pop("serial"), 0)
        print(json.dumps(result), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
