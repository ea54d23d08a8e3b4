#!/usr/bin/env python3
"""A StatusNotifier watcher and host of the tests' own, on the session bus.

  statusnotifier.py watch LOG [--host-after SECONDS] [--slow MS] [--flap MS]
      Owns org.kde.StatusNotifierWatcher and acts as its host: every item
      that registers is written to LOG as a JSON line. With --host-after
      the watcher runs without a host first (a panel still starting) and
      registers one after SECONDS. --slow answers every property question
      after MS milliseconds; --flap signals a host registered and gone by
      turns every MS milliseconds (any program may own the name and do so).
  statusnotifier.py probe WHAT
      Asks the first registered item: "sizes" (its pictures' sizes),
      "tooltip" (title and body), "icon" (a digest of the pictures),
      "save DIR" (each picture as
      DIR/item-SIZE.png, as the host received it), "activate", "secondary", "menu" (the
      labels of the menu's top level, after AboutToShow, as a host fetches
      it), "open" (the menu opened and closed by a user), "click LABEL"
      (a menu item's "clicked" event; prints when it was sent, in
      milliseconds since the epoch). Prints the answer as JSON.
"""
import json
import sys
import time

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPS = "org.freedesktop.DBus.Properties"
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
  <signal name="StatusNotifierHostUnregistered"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/>
   <arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg type="s" direction="out"/></method>
 </interface>
</node>
"""


class Watcher(dbus.service.Object):
    def __init__(self, bus, log, host, slow=0):
        super().__init__(bus, WATCHER_PATH)
        self.bus = bus
        self.log = log
        self.items = []
        self.host = host
        self.slow = slow
        self.asked = 0

    def note(self, record):
        with open(self.log, "a", encoding="utf-8") as f:
            f.write(json.dumps(record) + "\n")

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or only its object path.
        path = "/StatusNotifierItem"
        if service.startswith("/"):
            path, service = service, sender
        entry = service + path
        if entry not in self.items:
            self.items.append(entry)
        self.note({"event": "registered", "service": str(service), "path": str(path)})
        self.StatusNotifierItemRegistered(entry)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self.host = True
        self.StatusNotifierHostRegistered()

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, entry):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostUnregistered(self):
        pass

    def properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(self.host),
            "ProtocolVersion": dbus.Int32(0),
        }

    # Qt reads the watcher's properties through its introspection, so they
    # are listed there as a real watcher lists them.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v",
                         async_callbacks=("reply", "error"))
    def Get(self, interface, name, reply, error):
        from gi.repository import GLib
        value = self.properties()[name]
        self.asked += 1
        if self.slow:
            GLib.timeout_add(self.slow, lambda: reply(value) and False)
        else:
            reply(value)

    @dbus.service.method(PROPS, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties()


def watch(log, host_after, slow=0, flap=0):
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus, log, host_after is None, slow)
    if flap:
        turn = [0]

        def signal():
            turn[0] += 1
            if turn[0] % 2:
                watcher.StatusNotifierHostUnregistered()
            else:
                watcher.StatusNotifierHostRegistered()
            if turn[0] % 25 == 0:
                watcher.note({"event": "signals", "count": turn[0], "asked": watcher.asked})
            return True
        GLib.timeout_add(flap, signal)
    name = dbus.service.BusName(WATCHER, bus)  # noqa: F841 (held while running)
    if host_after is not None:
        def host_arrives():
            watcher.RegisterStatusNotifierHost("org.kde.StatusNotifierHost-test")
            watcher.note({"event": "host"})
            return False
        GLib.timeout_add(int(host_after * 1000), host_arrives)
    watcher.note({"event": "ready"})
    GLib.MainLoop().run()


def first_item(bus):
    watcher = bus.get_object(WATCHER, WATCHER_PATH)
    items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPS)
    if not items:
        return None
    entry = str(items[0])
    cut = entry.index("/")
    # Some hosts list an item as "NAME@/PATH".
    return bus.get_object(entry[:cut].rstrip("@"), entry[cut:])


def menu_labels(bus, item):
    menu_path = item.Get(ITEM, "Menu", dbus_interface=PROPS)
    menu = bus.get_object(item.bus_name, menu_path)
    menu.AboutToShow(dbus.Int32(0), dbus_interface=MENU)
    time.sleep(0.3)  # the window's labels change as the menu opens
    _, layout = menu.GetLayout(dbus.Int32(0), dbus.Int32(1), dbus.Array([], signature="s"),
                               dbus_interface=MENU)
    labels = []
    for child in layout[2]:
        ident, props = child[0], child[1]
        if props.get("visible", True) and props.get("type", "standard") != "separator":
            labels.append((int(ident), str(props.get("label", ""))))
    return menu, labels


def save_png(path, width, height, argb):
    """Writes big-endian ARGB32 pixels (the protocol's) as an RGBA PNG."""
    import struct
    import zlib
    rows = b""
    for y in range(height):
        row = argb[4 * width * y:4 * width * (y + 1)]
        rows += b"\0" + b"".join(row[i + 1:i + 4] + row[i:i + 1] for i in range(0, len(row), 4))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def probe(what, arg):
    bus = dbus.SessionBus()
    item = first_item(bus)
    if item is None:
        print("null")
        return 1
    if what == "sizes":
        pixmaps = item.Get(ITEM, "IconPixmap", dbus_interface=PROPS)
        sizes = sorted({int(w) for w, h, data in pixmaps if int(w) == int(h)
                        and len(data) == 4 * int(w) * int(h)})
        print(json.dumps(sizes))
    elif what == "icon":
        import hashlib
        digest = hashlib.sha1()
        for w, h, data in item.Get(ITEM, "IconPixmap", dbus_interface=PROPS):
            digest.update(bytes(data))
        print(json.dumps(digest.hexdigest()))
    elif what == "save":
        for w, h, data in item.Get(ITEM, "IconPixmap", dbus_interface=PROPS):
            save_png(f"{arg}/item-{int(w)}.png", int(w), int(h), bytes(data))
        print("true")
    elif what == "tooltip":
        _, _, title, body = item.Get(ITEM, "ToolTip", dbus_interface=PROPS)
        print(json.dumps({"title": str(title), "body": str(body)}))
    elif what == "activate":
        item.Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
        print("true")
    elif what == "secondary":
        item.SecondaryActivate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
        print("true")
    elif what == "menu":
        _, labels = menu_labels(bus, item)
        print(json.dumps([label for _, label in labels]))
    elif what == "open":
        # A user opening the menu and closing it again.
        menu, labels = menu_labels(bus, item)
        for event in ("opened", "closed"):
            menu.Event(dbus.Int32(0), event, dbus.Int32(0), dbus.UInt32(0), dbus_interface=MENU)
        print("true")
    elif what == "click":
        menu, labels = menu_labels(bus, item)
        ident = next(i for i, label in labels if label.replace("&", "") == arg)
        sent = time.time()
        menu.Event(dbus.Int32(ident), "clicked", dbus.Int32(0), dbus.UInt32(0),
                   dbus_interface=MENU)
        print(int(sent * 1000))  # when the click went, in ms since the epoch
    else:
        raise SystemExit("unknown probe " + what)
    return 0


def main(argv):
    if len(argv) >= 3 and argv[1] == "watch":
        host_after = None
        if "--host-after" in argv:
            host_after = float(argv[argv.index("--host-after") + 1])
        slow = int(argv[argv.index("--slow") + 1]) if "--slow" in argv else 0
        flap = int(argv[argv.index("--flap") + 1]) if "--flap" in argv else 0
        watch(argv[2], host_after, slow, flap)
        return 0
    if len(argv) >= 3 and argv[1] == "probe":
        return probe(argv[2], argv[3] if len(argv) > 3 else None)
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
