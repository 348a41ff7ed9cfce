#!/usr/bin/python3
"""A stand-in for the desktop's notification service in tests: owns
org.freedesktop.Notifications on the session bus and appends every Notify call to a log,
one line each: the summary, a tab, the body with its line ends written as "\\n", a tab,
the actions' keys and labels, a tab and the urgency (0 low, 1 normal, 2 critical; "-"
when not given). Creates the ready file once it owns the name.

A test answers a notification as a user would with the method Answer(SUMMARY, KEY) of
the interface test.vantry.Control: the service sends ActionInvoked for the latest
notification of that summary.

Usage: fake_notification_service.py LOG READY
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.Notifications"


class Service(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.log = log
        self.last = 0
        self.ids = {}

    @dbus.service.method(INTERFACE, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.method(INTERFACE, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("fake", "vantry tests", "1", "1.2")

    @dbus.service.method(INTERFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.last += 1
        self.ids[summary] = self.last
        urgency = str(int(hints["urgency"])) if "urgency" in hints else "-"
        line = "\t".join([summary, body.replace("\n", "\\n"), ",".join(actions), urgency])
        with open(self.log, "a", encoding="utf-8") as f:
            f.write(line + "\n")
        return dbus.UInt32(self.last)

    @dbus.service.method(INTERFACE, in_signature="u", out_signature="")
    def CloseNotification(self, id):
        self.NotificationClosed(id, 3)

    @dbus.service.method("test.vantry.Control", in_signature="ss", out_signature="b")
    def Answer(self, summary, key):
        if summary not in self.ids:
            return False
        self.ActionInvoked(dbus.UInt32(self.ids[summary]), key)
        return True

    @dbus.service.signal(INTERFACE, signature="uu")
    def NotificationClosed(self, id, reason):
        pass

    @dbus.service.signal(INTERFACE, signature="us")
    def ActionInvoked(self, id, key):
        pass


def main():
    log, ready = sys.argv[1], sys.argv[2]
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(INTERFACE, bus, do_not_queue=True)
    Service(bus, log)
    open(ready, "w").close()
    GLib.MainLoop().run()
    del name


if __name__ == "__main__":
    main()
