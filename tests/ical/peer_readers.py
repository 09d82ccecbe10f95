#!/usr/bin/python3
"""Reads `memro-cli export` output with the calendar programs users share it with.

The export of second_reader.py, made as of 2026-12-31, is read by khal (from a vdir of
one file per event, with a private configuration) or by calcurse (imported into a
private data directory); the days each lists an event on through 2027 and 2028 must be
those on which `memro-cli report` lists it, compared as second_reader.py compares the
days of the repeat rules. Exit 77 (skipped) when the program is not installed.

Usage: peer_readers.py MEMRO_CLI khal|calcurse
"""
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile

MARKER = re.compile(r"<([a-z0-9-]+)>")
DAY_LINE = re.compile(r"^(\d{4}-\d{2}-\d{2}):?$")


def days_listed(output):
    """{marker: days} of a listing of day lines (2027-01-05) each followed by its events."""
    listed = {}
    day = None
    for line in output.splitlines():
        if heading := DAY_LINE.match(line.strip()):
            day = datetime.date.fromisoformat(heading.group(1))
        elif day and (marker := MARKER.search(line)):
            listed.setdefault(marker.group(1), set()).add(day)
    return listed


def khal_listing(exported_file, root, env, first, last):
    import icalendar  # khal reads calendars with it, so it is there where khal is

    vdir = os.path.join(root, "vdir")
    os.makedirs(vdir)
    with open(exported_file, "rb") as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    for number, event in enumerate(calendar.walk("VEVENT")):
        item = icalendar.Calendar()
        item.add("VERSION", "2.0")
        item.add("PRODID", str(calendar["PRODID"]))
        item.add_component(event)
        with open(os.path.join(vdir, f"event-{number}.ics"), "wb") as f:
            f.write(item.to_ical())
    config_dir = os.path.join(env["XDG_CONFIG_HOME"], "khal")
    os.makedirs(config_dir)
    with open(os.path.join(config_dir, "config"), "w") as f:
        f.write(f"[calendars]\n[[memro]]\npath = {vdir}\n"
                "[locale]\nlocal_timezone = UTC\ndefault_timezone = UTC\n"
                "timeformat = %H:%M\ndateformat = %Y-%m-%d\nlongdateformat = %Y-%m-%d\n"
                "datetimeformat = %Y-%m-%d %H:%M\nlongdatetimeformat = %Y-%m-%d %H:%M\n"
                f"[sqlite]\npath = {os.path.join(root, 'khal.db')}\n")
    return subprocess.run(
        ["khal", "list", "--format", "{title}", "--day-format", "{date}", first.isoformat(),
         f"{(last - first).days + 1}d"],
        env=env, check=True, capture_output=True, text=True).stdout


def calcurse_listing(exported_file, root, env, first, last):
    data = os.path.join(root, "calcurse")
    os.makedirs(data)
    # What it could not take it names; the days listed show what it took.
    print(subprocess.run(["calcurse", "-D", data, "-i", exported_file], env=env,
                         capture_output=True, text=True).stdout)
    # A format ends each item with a real line break, whether or not "\n" is read as one.
    return subprocess.run(
        ["calcurse", "-D", data, "-Q", "--input-datefmt", "4", "--output-datefmt", "%Y-%m-%d",
         "--from", first.isoformat(), "--days", str((last - first).days + 1),
         "--filter-type", "cal", "--format-event", "%m\n", "--format-recur-event", "%m\n",
         "--format-apt", "%m\n", "--format-recur-apt", "%m\n"],
        env=env, check=True, capture_output=True, text=True).stdout


PEERS = {"khal": khal_listing, "calcurse": calcurse_listing}


def main():
    cli, peer = sys.argv[1], sys.argv[2]
    if not shutil.which(peer):
        print(f"skipped: {peer} is not installed")
        return 77
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import second_reader as shared  # exits 77 without the Python modules it reads with

    with tempfile.TemporaryDirectory() as root:
        env, scanned_file, exported_file = shared.exported(cli, root)
        first = datetime.date(shared.YEARS[0], 1, 1)
        last = datetime.date(shared.YEARS[-1], 12, 31)
        listed = days_listed(PEERS[peer](exported_file, root, env, first, last))
        problems = []
        # A disabled event is exported cancelled, which each peer shows in its own way.
        markers = [e[0] for e in shared.EVENTS]
        shared.compare_years(
            cli, scanned_file, env,
            lambda marker, year: {d for d in listed.get(marker, set()) if d.year == year},
            problems, markers, peer)
    return shared.report(problems, len(markers))


if __name__ == "__main__":
    sys.exit(main())
