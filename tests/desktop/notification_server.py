#!/usr/bin/python3
"""A desktop notification server of the tests' own.

Owns org.freedesktop.Notifications on the session bus (run it under
dbus-run-session), announces the capabilities it is given, and writes every
call it receives as one JSON line to the log file. The tests tell it what
the user does through a method of its own on the same object:

    notification_server.py serve LOG [--caps actions,body-markup,sound]
                                     [--ready FILE] [--silent] [--late MS] [--odd]
                                     [--keep N]
    notification_server.py close ID REASON   # NotificationClosed(ID, REASON)
    notification_server.py action ID KEY     # ActionInvoked(ID, KEY)

--silent takes the bus name and never answers Notify (a hung server);
--late answers it after MS milliseconds (a slow one); --odd answers it
with a string where the protocol has a number; --keep keeps at most N
notifications open and closes the oldest as expired when another comes
(as GNOME Shell does with one program's notifications).
"""

import argparse
import json
import os
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
IFACE = "org.freedesktop.Notifications"
CONTROL = "org.qgm.test.NotificationServer"


def plain(value):
    """A D-Bus value as JSON: image-data as its header and byte count."""
    if isinstance(value, dbus.Struct):
        fields = [plain(v) for v in value]
        if len(value) == 7 and isinstance(value[6], (dbus.Array, dbus.ByteArray, bytes)):
            data = bytes(value[6])
            fields[6] = {"bytes": len(data),
                         "opaque": sum(1 for a in data[3::4] if a == 255)}
        return fields
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.Byte, dbus.Int32, dbus.UInt32, dbus.Int64, dbus.UInt64,
                          dbus.Int16, dbus.UInt16)):
        return int(value)
    if isinstance(value, dbus.String):
        return str(value)
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, list)):
        return [plain(v) for v in value]
    return value


class Server(dbus.service.Object):
    def __init__(self, bus, log, caps, silent, late=0, keep=0):
        super().__init__(bus, PATH)
        self.keep = keep
        self.shown = []  # ids open, oldest first
        self.log = log
        self.caps = caps
        self.silent = silent
        self.late = late
        self.next_id = 1
        self.pending = []  # replies a silent server holds back

    def record(self, entry):
        with open(self.log, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry, ensure_ascii=False) + "\n")

    @dbus.service.method(IFACE, in_signature="", out_signature="as")
    def GetCapabilities(self):
        self.record({"method": "GetCapabilities"})
        return dbus.Array(self.caps, signature="s")

    @dbus.service.method(IFACE, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("qgm-test-server", "QGM tests", "1.0", "1.2")

    @dbus.service.method(IFACE, in_signature="susssasa{sv}i", out_signature="u",
                         async_callbacks=("reply", "error"))
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints,
               expire_timeout, reply, error):
        nid = int(replaces_id) or self.next_id
        if not replaces_id:
            self.next_id += 1
        self.record({"method": "Notify", "id": nid, "app_name": str(app_name),
                     "replaces_id": int(replaces_id), "app_icon": str(app_icon),
                     "summary": str(summary), "body": str(body),
                     "actions": [str(a) for a in actions], "hints": plain(hints),
                     "expire_timeout": int(expire_timeout)})
        if self.silent:
            self.pending.append(reply)
            return
        self.answer(reply, nid)
        if nid not in self.shown:
            self.shown.append(nid)
        if self.keep and len(self.shown) > self.keep:
            oldest = self.shown.pop(0)
            self.record({"event": "NotificationClosed", "id": oldest, "reason": 1})
            self.NotificationClosed(dbus.UInt32(oldest), dbus.UInt32(1))

    def answer(self, reply, nid):
        if self.late:
            GLib.timeout_add(self.late, lambda: reply(dbus.UInt32(nid)) and False)
        else:
            reply(dbus.UInt32(nid))

    @dbus.service.method(IFACE, in_signature="u", out_signature="")
    def CloseNotification(self, nid):
        self.record({"method": "CloseNotification", "id": int(nid)})
        self.forget(nid)
        self.NotificationClosed(nid, dbus.UInt32(3))

    def forget(self, nid):
        if int(nid) in self.shown:
            self.shown.remove(int(nid))

    @dbus.service.signal(IFACE, signature="uu")
    def NotificationClosed(self, nid, reason):
        pass

    @dbus.service.signal(IFACE, signature="us")
    def ActionInvoked(self, nid, key):
        pass

    # What the user does.
    @dbus.service.method(CONTROL, in_signature="uu", out_signature="")
    def EmitClosed(self, nid, reason):
        self.record({"event": "NotificationClosed", "id": int(nid), "reason": int(reason)})
        self.forget(nid)
        self.NotificationClosed(dbus.UInt32(nid), dbus.UInt32(reason))

    @dbus.service.method(CONTROL, in_signature="us", out_signature="")
    def EmitAction(self, nid, key):
        self.record({"event": "ActionInvoked", "id": int(nid), "key": str(key)})
        self.ActionInvoked(dbus.UInt32(nid), dbus.String(key))


class OddServer(Server):
    """Answers Notify with a string: a server that reads the protocol its
    own way."""

    @dbus.service.method(IFACE, in_signature="susssasa{sv}i", out_signature="s",
                         async_callbacks=("reply", "error"))
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints,
               expire_timeout, reply, error):
        Server.Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints,
                      expire_timeout, reply, error)

    def answer(self, reply, nid):
        reply(dbus.String("notification-%d" % nid))


def serve(args):
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    caps = [c for c in args.caps.split(",") if c]
    server = (OddServer if args.odd else Server)(bus, args.log, caps, args.silent, args.late,
                                                 args.keep)
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    if args.ready:
        with open(args.ready + ".tmp", "w") as f:
            f.write(str(os.getpid()))
        os.rename(args.ready + ".tmp", args.ready)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, 15, loop.quit)
    loop.run()
    del name, server


def control(method, *values):
    bus = dbus.SessionBus()
    obj = bus.get_object(NAME, PATH)
    getattr(dbus.Interface(obj, CONTROL), method)(*values)


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    s = sub.add_parser("serve")
    s.add_argument("log")
    s.add_argument("--caps", default="actions,body-markup")
    s.add_argument("--ready")
    s.add_argument("--silent", action="store_true")
    s.add_argument("--late", type=int, default=0)
    s.add_argument("--odd", action="store_true")
    s.add_argument("--keep", type=int, default=0)
    c = sub.add_parser("close")
    c.add_argument("id", type=int)
    c.add_argument("reason", type=int)
    a = sub.add_parser("action")
    a.add_argument("id", type=int)
    a.add_argument("key")
    args = parser.parse_args()
    if args.command == "serve":
        serve(args)
    elif args.command == "close":
        control("EmitClosed", dbus.UInt32(args.id), dbus.UInt32(args.reason))
    else:
        control("EmitAction", dbus.UInt32(args.id), dbus.String(args.key))
    return 0


if __name__ == "__main__":
    sys.exit(main())
