#!/usr/bin/python3
"""Reads `memro-cli export` output with a second, independent iCalendar reader.

Python's icalendar package parses a file exported as of 2026-12-31, and dateutil's rrule
expands each event's repeat rule over whole years. For every event the days it occurs
on must be exactly the days on which `memro-cli report --today DAY` lists the same
event with 0 warn days and no backdating; a monthly event on the 29th to 31st may also
be listed in the first three days of a month, which no repeat rule says. A disabled
event occurs nowhere. Exit 77 (skipped) when the Python modules are missing.

Usage: second_reader.py MEMRO_CLI
"""
import datetime
import os
import subprocess
import sys
import tempfile

try:
    import icalendar
    from dateutil import rrule
except ImportError as missing:
    print(f"skipped: {missing} (install python3-icalendar and python3-dateutil)")
    sys.exit(77)

YEARS = (2027, 2028)

# The day of the export, 2026-12-31 12:00 UTC: events stored after it start earlier.
EXPORT_STAMP = "1798718400"

# marker, start date, frequency[, warn days in the exported file]
EVENTS = [
    ("yearly-a", "2019-03-15", "yearly"),
    ("yearly-leap", "2020-02-29", "yearly"),
    ("yearly-eve", "2026-12-31", "yearly"),
    ("yearly-new", "2001-01-01", "yearly"),
    ("monthly-1", "2026-04-01", "monthly"),
    ("monthly-13", "2025-11-13", "monthly"),
    ("monthly-24", "2026-09-24", "monthly"),
    ("weekly-mon", "2026-01-05", "weekly"),
    ("weekly-wed", "2025-07-09", "weekly"),
    ("weekly-sun", "2026-11-29", "weekly"),
    ("daily", "2026-06-01", "daily"),
    ("once-in", "2027-05-20", "once"),
    ("once-leap", "2028-02-29", "once"),
    ("once-before", "2026-05-20", "once"),
    ("weekly-future", "2027-09-01", "weekly", 7),
    ("monthly-future", "2027-03-17", "monthly", 1),
    ("yearly-future", "2028-06-10", "yearly", 30),
    ("yearly-future-leap", "2032-02-29", "yearly", 1),
    ("daily-future", "2027-08-01", "daily"),
    ("monthly-29", "2026-01-29", "monthly"),
    ("monthly-30", "2026-04-30", "monthly", 1),
    ("monthly-31", "2025-12-31", "monthly", 7),
    ("monthly-31-future", "2027-05-31", "monthly", 30),
]
DISABLED = ("disabled", "2026-03-03", "weekly")


def warn_days(event):
    return event[3] if len(event) > 3 else 0

# Windows-1252 characters and a line break must reach the other reader as Unicode.
TEXT_MARKER = "text-check"
TEXT_MESSAGE = "Caf\u00e9 \u20ac5 \u201cquoted\u201d, semi; back\\slash\nsecond line"


def run(cli, *args, env):
    return subprocess.run([cli, *args], env=env, check=True, capture_output=True, text=True)


def isolated_env(root):
    env = dict(os.environ)
    for name in ("HOME", "TEMP", "TMPDIR", "MEMRO_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"):
        path = os.path.join(root, name.lower())
        os.makedirs(path, mode=0o700, exist_ok=True)
        env[name] = path
    return env


def message(marker):
    return f"<{marker}>"


def write_events(cli, events_file, env, warn):
    """The events, with their warn days when warn, else with none."""
    for event in EVENTS:
        marker, start, frequency = event[:3]
        run(cli, "add", events_file, "--date", start, "--message", message(marker),
            "--frequency", frequency, "--warn", str(warn_days(event) if warn else 0),
            "--no-backdated", env=env)
    marker, start, frequency = DISABLED
    run(cli, "add", events_file, "--date", start, "--message", message(marker), "--frequency",
        frequency, "--warn", "0", "--no-backdated", "--disabled", env=env)
    run(cli, "add", events_file, "--date", "2026-12-08", "--message",
        f"{message(TEXT_MARKER)} {TEXT_MESSAGE}", "--warn", "7", env=env)


def occurrences(event, year):
    if str(event.get("STATUS")) == "CANCELLED":
        return set()
    start = event["DTSTART"].dt
    first = datetime.datetime(year, 1, 1)
    last = datetime.datetime(year, 12, 31)
    if "RRULE" not in event:
        return {start} if start.year == year else set()
    rule = rrule.rrulestr(event["RRULE"].to_ical().decode(),
                          dtstart=datetime.datetime(start.year, start.month, start.day))
    return {moment.date() for moment in rule.between(first, last, inc=True)}


def due_days(cli, events_file, year, env):
    due = {event[0]: set() for event in EVENTS + [DISABLED]}
    day = datetime.date(year, 1, 1)
    while day.year == year:
        report = run(cli, "report", events_file, "--today", day.isoformat(), "--dry-run",
                     env=env).stdout
        for marker in due:
            if message(marker) in report:
                due[marker].add(day)
        day += datetime.timedelta(days=1)
    return due


def check_calendar(calendar, problems):
    if str(calendar.get("VERSION")) != "2.0":
        problems.append(f"VERSION is {calendar.get('VERSION')!r}")
    if "Memro 4.0" not in str(calendar.get("PRODID")):
        problems.append(f"PRODID is {calendar.get('PRODID')!r}")
    for event in calendar.walk("VEVENT"):
        for name in ("UID", "DTSTAMP", "DTSTART", "DTEND", "SUMMARY"):
            if name not in event:
                problems.append(f"{event.get('SUMMARY')}: no {name}")
        alarms = event.walk("VALARM")
        if len(alarms) != 1 or str(alarms[0].get("ACTION")) != "DISPLAY":
            problems.append(f"{event.get('SUMMARY')}: not one display alarm")
            continue
        marker = str(event["SUMMARY"]).split(">")[0].lstrip("<")
        warn = {e[0]: warn_days(e) for e in EVENTS}.get(marker, 7 if marker == TEXT_MARKER else 0)
        expected = datetime.timedelta(days=-warn)
        if alarms[0]["TRIGGER"].dt != expected:
            problems.append(f"{marker}: alarm {alarms[0]['TRIGGER'].dt}, not {expected}")
    uids = [str(event["UID"]) for event in calendar.walk("VEVENT")]
    if len(set(uids)) != len(uids):
        problems.append("two events share a UID")


def check_texts(by_marker, problems):
    event = by_marker[TEXT_MARKER]
    whole = f"{message(TEXT_MARKER)} {TEXT_MESSAGE}"
    first_line = whole.split("\n")[0]
    if str(event["SUMMARY"]) != first_line:
        problems.append(f"SUMMARY {str(event['SUMMARY'])!r}, not {first_line!r}")
    if str(event["DESCRIPTION"]) != whole:
        problems.append(f"DESCRIPTION {str(event['DESCRIPTION'])!r}, not {whole!r}")


def month_end_day(marker, day, start):
    """A day Memro lists a monthly event on the 29th to 31st after a month's end."""
    frequency = next(e[2] for e in EVENTS if e[0] == marker)
    return frequency == "monthly" and int(start[8:]) >= 29 and day.day <= 3


def compare(marker, year, expected, due, problems, reader="the rule"):
    start = next(e[1] for e in EVENTS + [DISABLED] if e[0] == marker)
    only_scan = {d for d in due - expected if not month_end_day(marker, d, start)} \
        if marker != DISABLED[0] else due
    only_rule = expected - due
    if only_rule or only_scan:
        problems.append(f"{marker} in {year}: only {reader} "
                        f"{sorted(d.isoformat() for d in only_rule)[:5]}, only the scan "
                        f"{sorted(d.isoformat() for d in only_scan)[:5]}")


def exported(cli, root):
    """The events exported as of EXPORT_STAMP, and again without warn days for the scan:
    (environment, file to scan, exported calendar)."""
    env = isolated_env(root)
    env["TZ"] = "UTC"
    events_file = os.path.join(root, "events.mmo")
    scanned_file = os.path.join(root, "no-warning.mmo")
    exported_file = os.path.join(root, "events.ics")
    write_events(cli, events_file, env, warn=True)
    write_events(cli, scanned_file, env, warn=False)
    run(cli, "export", events_file, exported_file,
        env=dict(env, SOURCE_DATE_EPOCH=EXPORT_STAMP))
    return env, scanned_file, exported_file


def compare_years(cli, scanned_file, env, days_of, problems, markers=None, reader="the rule"):
    """For each year and event, the days days_of(marker, year) gives against the scan's."""
    for year in YEARS:
        due = due_days(cli, scanned_file, year, env)
        for marker in markers or due:
            compare(marker, year, days_of(marker, year), due[marker], problems, reader)


def report(problems, compared):
    for problem in problems:
        print(problem)
    print(f"{compared * len(YEARS)} event years compared, {len(problems)} problems")
    return 1 if problems else 0


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as root:
        env, scanned_file, exported_file = exported(cli, root)
        with open(exported_file, "rb") as f:
            calendar = icalendar.Calendar.from_ical(f.read())
        problems = []
        check_calendar(calendar, problems)
        by_marker = {str(e["SUMMARY"]).split(">")[0].lstrip("<"): e
                     for e in calendar.walk("VEVENT")}
        check_texts(by_marker, problems)
        compare_years(cli, scanned_file, env,
                      lambda marker, year: occurrences(by_marker[marker], year), problems)
    return report(problems, len(EVENTS) + 1)


if __name__ == "__main__":
    sys.exit(main())
