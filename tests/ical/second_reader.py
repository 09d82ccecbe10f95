#!/usr/bin/python3
"""Reads `memro-cli export` output with a second, independent iCalendar reader.

Python's icalendar package parses the exported file, and dateutil's rrule expands each
event's repeat rule over whole years. For every event (0 warn days, no backdating) the
days it occurs on must be exactly the days on which `memro-cli report --today DAY` lists
it as due. Exit 77 (skipped) when the Python modules are missing.

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

# marker, start date, frequency
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
]

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


def write_events(cli, events_file, env):
    for marker, start, frequency in EVENTS:
        run(cli, "add", events_file, "--date", start, "--message", message(marker),
            "--frequency", frequency, "--warn", "0", "--no-backdated", env=env)
    run(cli, "add", events_file, "--date", "2026-12-08", "--message",
        f"{message(TEXT_MARKER)} {TEXT_MESSAGE}", "--warn", "7", env=env)


def occurrences(event, year):
    start = event["DTSTART"].dt
    first = datetime.datetime(year, 1, 1)
    last = datetime.datetime(year, 12, 31)
    if "RRULE" not in event:
        return {start} if start.year == year else set()
    rule = rrule.rrulestr(event["RRULE"].to_ical().decode(),
                          dtstart=datetime.datetime(start.year, start.month, start.day))
    return {moment.date() for moment in rule.between(first, last, inc=True)}


def due_days(cli, events_file, year, env):
    due = {marker: set() for marker, _, _ in EVENTS}
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
        for name in ("UID", "DTSTAMP", "DTSTART", "SUMMARY"):
            if name not in event:
                problems.append(f"{event.get('SUMMARY')}: no {name}")
        alarms = event.walk("VALARM")
        if len(alarms) != 1 or str(alarms[0].get("ACTION")) != "DISPLAY":
            problems.append(f"{event.get('SUMMARY')}: not one display alarm")
            continue
        marker = str(event["SUMMARY"]).split(">")[0].lstrip("<")
        expected = datetime.timedelta(days=-7 if marker == TEXT_MARKER else 0)
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


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as root:
        env = isolated_env(root)
        events_file = os.path.join(root, "events.mmo")
        exported = os.path.join(root, "events.ics")
        write_events(cli, events_file, env)
        run(cli, "export", events_file, exported, env=env)
        with open(exported, "rb") as f:
            calendar = icalendar.Calendar.from_ical(f.read())
        problems = []
        check_calendar(calendar, problems)
        by_marker = {str(e["SUMMARY"]).split(">")[0].lstrip("<"): e
                     for e in calendar.walk("VEVENT")}
        check_texts(by_marker, problems)
        for year in YEARS:
            due = due_days(cli, events_file, year, env)
            for marker, _, _ in EVENTS:
                expected = occurrences(by_marker[marker], year)
                if expected != due[marker]:
                    only_rule = sorted(d.isoformat() for d in expected - due[marker])
                    only_scan = sorted(d.isoformat() for d in due[marker] - expected)
                    problems.append(f"{marker} in {year}: only the rule {only_rule[:5]}, "
                                    f"only the scan {only_scan[:5]}")
    for problem in problems:
        print(problem)
    print(f"{len(EVENTS) * len(YEARS)} event years compared, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
