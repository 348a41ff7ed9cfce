#!/usr/bin/python3
"""Another device on the same CalDAV calendar, through python3-caldav.

usage: caldav_device.py URL USER PASSWORD COMMAND [ARGS]
  make                      create the calendar at URL (its parent must be the user's home)
  list                      one line per item: UID, SUMMARY, then RRULE and TRIGGER when set
  put UID SUMMARY [RRULE]   create or replace a to-do
  edit UID SUMMARY          change a to-do's summary
  delete UID                delete the item
  empty                     delete every item
"""
import sys

import caldav


def calendar(url, user, password):
    client = caldav.DAVClient(url=url, username=user, password=password)
    return client, caldav.Calendar(client=client, url=url)


def todo(uid, summary, rrule=None):
    lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//device//caldav test//EN",
             "BEGIN:VTODO", "UID:" + uid, "DTSTAMP:20260101T000000Z", "SUMMARY:" + summary]
    if rrule:
        lines += ["DTSTART;VALUE=DATE:20260105", "DUE;VALUE=DATE:20260106", "RRULE:" + rrule,
                  "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:" + summary,
                  "TRIGGER:-PT15M", "END:VALARM"]
    lines += ["END:VTODO", "END:VCALENDAR", ""]
    return "\r\n".join(lines)


def main():
    url, user, password, command, *args = sys.argv[1:]
    client, cal = calendar(url, user, password)
    if command == "make":
        response = client.mkcalendar(url)
        if response.status not in (200, 201):
            sys.exit("MKCALENDAR answered %d" % response.status)
        return
    objects = cal.todos(include_completed=True) + cal.events()
    if command == "list":
        for o in objects:
            comp = o.icalendar_instance.walk("VTODO") + o.icalendar_instance.walk("VEVENT")
            for c in comp:
                rrule = c.get("RRULE")
                alarms = [a.get("TRIGGER").to_ical().decode() for a in c.walk("VALARM")]
                print("\t".join([str(c.get("UID")), str(c.get("SUMMARY")),
                                 rrule.to_ical().decode() if rrule else "",
                                 ",".join(alarms)]))
    elif command == "put":
        cal.save_todo(todo(args[0], args[1], args[2] if len(args) > 2 else None))
    elif command == "edit":
        o = cal.object_by_uid(args[0])
        o.load()
        for c in o.icalendar_instance.walk("VTODO") + o.icalendar_instance.walk("VEVENT"):
            c["SUMMARY"] = args[1]
        o.save()
    elif command == "delete":
        cal.object_by_uid(args[0]).delete()
    elif command == "empty":
        for o in objects:
            o.delete()
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
