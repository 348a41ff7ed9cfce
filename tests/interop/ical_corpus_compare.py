"""Reads each calendar of the corpus and Vantry's export of it with python3-icalendar and
prints, one tab-separated line each:

  FILE  items     N D       the VEVENTs and VTODOs of the file that are no RECURRENCE-ID
                            override (or stand for a series the file lacks): N of them,
                            D distinct UIDs (one without a UID counts as its own)
  FILE  unread    WHY       python3-icalendar cannot read the original
  FILE  differs   FIELD UID WHAT   the export does not keep FIELD of the item with UID

Usage: ical_corpus_compare.py CORPUS_DIR EXPORT_DIR FILE...  (FILE relative to both; an
export that is missing is compared as none).

What is compared, for every item: SUMMARY, DESCRIPTION, CATEGORIES, RRULE, EXDATE, RDATE,
the start and the end. Dates and floating times compare by their digits, zoned and UTC
times by the moment they name. What Vantry changes on purpose is expected here, so that
everything else still has to be equal:
- it writes every item as a VTODO: a VEVENT's end (DTEND, or DTSTART + DURATION) is its
  DUE, an end at midnight being the end of the day before (the same moment);
- an item with a start and no end lasts to the end of its first day: DUE is the midnight
  after it (for a day, the next day, as RFC 5545 reads an event's day);
- a to-do due with no start gets DTSTART equal to DUE when it repeats (the series counts
  from DTSTART);
- an item without CATEGORIES gets its folder's name as one: the calendar's X-WR-CALNAME,
  else "Imported";
- a missing SUMMARY or DESCRIPTION and an empty one are the same;
- a rule's INTERVAL=1 and WKST=MO, RFC 5545's defaults, may be left out, and "+3WE" is
  "3WE";
- the item's times are in one zone, its start's (its end's, for a day or no start): a
  floating EXDATE, RDATE or end of a zoned item is that zone's wall time, and a zoned or
  UTC one of a floating item becomes the wall time of its moment here (TZ), floating;
- an item with no UID gets one of the import's making: it is compared with the export's
  item of such a UID that differs from it the least.
"""
import datetime
import sys

import icalendar
from icalendar import timezone_cache

ITEM_KINDS = ("VEVENT", "VTODO")
UTC = datetime.timezone.utc
RULE_DEFAULTS = [("INTERVAL", ["1"]), ("WKST", ["MO"])]


def calendars(path):
    # A VTIMEZONE of one file must not explain the TZIDs of the next.
    timezone_cache._timezone_cache.clear()
    with open(path, "rb") as f:
        return icalendar.Calendar.from_ical(f.read(), multiple=True)


def items(cals):
    """The items: each VEVENT and VTODO that is no RECURRENCE-ID override, and of a UID that
    has only overrides (its series is not in the file), the first of them, which stands for
    the series (the others go with it)."""
    found = [c for cal in cals for c in cal.subcomponents if c.name in ITEM_KINDS]
    def series(c):  # without a UID, a component is a series of its own
        return str(c["UID"]) if "UID" in c else id(c)
    masters = {series(c) for c in found if "RECURRENCE-ID" not in c}
    standing = set()
    chosen = []
    for c in found:
        if "RECURRENCE-ID" not in c:
            chosen.append(c)
        elif series(c) not in masters and series(c) not in standing:
            standing.add(series(c))
            chosen.append(c)
    return chosen


def when(value):
    """A date, time or period as compared: its kind and digits, or its moment."""
    if isinstance(value, tuple):
        return ("period", when(value[0]), when(value[1]) if not isinstance(
            value[1], datetime.timedelta) else ("duration", str(value[1])))
    if isinstance(value, datetime.datetime):
        if value.tzinfo is None or value.tzinfo.utcoffset(value) is None:
            return ("floating", value.isoformat())
        return ("moment", value.astimezone(UTC).isoformat())
    if isinstance(value, datetime.date):
        return ("date", value.isoformat())
    return ("other", str(value))


def last(value):
    # A property given twice: the import keeps the last.
    return value[-1] if isinstance(value, list) else value


def text(component, name):
    value = last(component.get(name))
    return "" if value is None else str(value)


def categories(component):
    value = component.get("CATEGORIES")
    if value is None:
        return None
    found = []
    for one in value if isinstance(value, list) else [value]:
        found += [str(c) for c in one.cats]
    return found


def timed(value):
    return isinstance(value, datetime.datetime)


def aware(value):
    return timed(value) and value.tzinfo is not None and value.tzinfo.utcoffset(value) is not None


def in_zone(value, zone):
    """A time of the file as the item keeps it: in the item's zone (None: floating)."""
    if not timed(value) or aware(value) == (zone is not None):
        return value
    if zone is None:
        return value.astimezone().replace(tzinfo=None)  # the wall time here
    return zone.localize(value) if hasattr(zone, "localize") else value.replace(tzinfo=zone)


def item_zone(component):
    """The zone of the item's times: its start's, else (a day, or no start) its end's."""
    start = dt(component, "DTSTART")
    end = dt(component, "DTEND" if component.name == "VEVENT" else "DUE")
    value = start if timed(start) else end
    return value.tzinfo if aware(value) else None


def date_list(component, name, zone=None):
    value = component.get(name)
    if value is None:
        return []
    found = []
    for one in value if isinstance(value, list) else [value]:
        found += [d.dt for d in one.dts]
    return sorted((when(in_zone(v, zone) if zone is not False else v) for v in found))


def rules(component):
    value = component.get("RRULE")
    if value is None:
        return []
    found = []
    for rule in value if isinstance(value, list) else [value]:
        parts = {}
        for key, values in rule.items():
            values = [v if isinstance(v, datetime.date) else str(v).upper().lstrip("+")
                      for v in values]
            # The defaults, which libical leaves out, mean the same written or not.
            if (key.upper(), values) in RULE_DEFAULTS:
                continue
            parts[key.upper()] = [when(v) if isinstance(v, datetime.date) else v for v in values]
        found.append(sorted(parts.items()))
    return found


def dt(component, name):
    value = component.get(name)
    return None if value is None else last(value).dt


def midnight_after(start):
    if isinstance(start, datetime.datetime):
        day = start.date() + datetime.timedelta(days=1)
        naive = datetime.datetime(day.year, day.month, day.day)
        zone = start.tzinfo
        if zone is None:
            return naive
        return zone.localize(naive) if hasattr(zone, "localize") else naive.replace(tzinfo=zone)
    return start + datetime.timedelta(days=1)


def span(component):
    """The start and end of an original item, as Vantry's export is to write them."""
    start = dt(component, "DTSTART")
    end = dt(component, "DTEND" if component.name == "VEVENT" else "DUE")
    duration = dt(component, "DURATION")
    if end is None and start is not None and duration is not None:
        end = start + duration
    if end is None and start is not None:
        end = midnight_after(start)
    return start, end


def compare(original, exported, folder):
    """The fields the export did not keep: (field, what) each."""
    found = []

    def differs(field, ours, theirs):
        if ours != theirs:
            found.append((field, "%r, exported %r" % (ours, theirs)))

    differs("SUMMARY", text(original, "SUMMARY"), text(exported, "SUMMARY"))
    differs("DESCRIPTION", text(original, "DESCRIPTION"), text(exported, "DESCRIPTION"))
    ours = categories(original)
    differs("CATEGORIES", ours if ours is not None else [folder], categories(exported))
    differs("RRULE", rules(original), rules(exported))
    zone = item_zone(original)
    differs("EXDATE", date_list(original, "EXDATE", zone), date_list(exported, "EXDATE", False))
    differs("RDATE", date_list(original, "RDATE", zone), date_list(exported, "RDATE", False))
    start, end = span(original)
    start, end = in_zone(start, zone), in_zone(end, zone)
    theirs_start, theirs_end = dt(exported, "DTSTART"), dt(exported, "DUE")
    if start is None and theirs_start is not None and "RRULE" in exported:
        start = end  # a repeating to-do due with no start
    differs("START", start and when(start), theirs_start and when(theirs_start))
    differs("END", end and when(end), theirs_end and when(theirs_end))
    return found


def uid(component):
    return str(last(component["UID"]))


def folder_name(cals):
    for cal in cals:
        name = text(cal, "X-WR-CALNAME")
        if name:
            return name
    return "Imported"


def main(corpus, exports, files):
    for name in files:
        def say(*parts):
            print("\t".join([name] + [str(p).replace("\t", " ").replace("\n", " ")
                                      for p in parts]))
        try:
            cals = calendars(corpus + "/" + name)
            originals = items(cals)
            for c in originals:  # every value compared must be one this version reads
                if c.errors:
                    raise ValueError("it drops what it cannot read: %r" % (c.errors,))
                span(c), date_list(c, "EXDATE"), date_list(c, "RDATE"), rules(c), categories(c)
        except Exception as error:  # what it cannot read is no case of the corpus
            say("unread", "%s: %s" % (type(error).__name__, error))
            continue
        uids = [uid(c) for c in originals if "UID" in c]
        say("items", len(originals), len(set(uids)) + len(originals) - len(uids))
        try:
            theirs = items(calendars(exports + "/" + name))
        except FileNotFoundError:
            theirs = []
        except Exception as error:
            say("differs", "EXPORT", "-", "unreadable: %s: %s" % (type(error).__name__, error))
            continue
        # By UID; those without one are compared with the exported items whose UIDs the
        # file does not have (the import names them).
        by_uid = {uid(c): c for c in theirs}
        unnamed = [c for c in theirs if uid(c) not in set(uids)]
        folder = folder_name(cals)

        def unnamed_one(c):
            if not unnamed:
                return None
            found = min(unnamed, key=lambda t: len(compare(c, t, folder)))
            unnamed.remove(found)
            return found

        latest = {}
        for c in originals:
            if "UID" in c:
                latest[uid(c)] = c
        for c in originals:
            if "UID" in c:
                if latest[uid(c)] is not c:
                    continue  # an earlier copy the import replaced
                exported = by_uid.get(uid(c))
                if exported is None:  # kept but written otherwise: compared all the same
                    near = [t for t in unnamed if uid(t).strip() == uid(c).strip()]
                    if near:
                        exported = near[0]
                        unnamed.remove(exported)
                        say("differs", "UID", uid(c), "exported %r" % uid(exported))
            else:
                exported = unnamed_one(c)
            if exported is None:
                say("differs", "ITEM", uid(c) if "UID" in c else "", "not exported")
                continue
            for field, what in compare(c, exported, folder):
                say("differs", field, uid(c) if "UID" in c else "", what)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
