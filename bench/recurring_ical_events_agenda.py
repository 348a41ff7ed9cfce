#!/usr/bin/python3
"""The peer of `vantry --agenda` for bench/agenda_vs_peer.sh: loads calendar files with
icalendar and prints a line per occurrence that python3-recurring-ical-events finds in
the days from FROM to TO (both included), to-dos and events alike.

    recurring_ical_events_agenda.py FROM TO FILE.ics...
"""
import datetime
import sys

import icalendar
import recurring_ical_events


def main():
    first = datetime.date.fromisoformat(sys.argv[1])
    after = datetime.date.fromisoformat(sys.argv[2]) + datetime.timedelta(days=1)
    out = sys.stdout
    for path in sys.argv[3:]:
        with open(path, 'rb') as f:
            calendar = icalendar.Calendar.from_ical(f.read())
        for c in recurring_ical_events.of(calendar, components=['VEVENT', 'VTODO']).between(first, after):
            start = c['DTSTART'].dt
            out.write(f"{start}\t{c['SUMMARY']}\t{calendar.get('X-WR-CALNAME', '')}\n")


if __name__ == '__main__':
    main()
