#!/usr/bin/python3
"""Two event files ("two machines", each with its own state) and a phone (python3-caldav)
sync through a real Radicale: events added, edited and deleted on each side, syncs in
varying order. At the end all three hold the same events, none lost or doubled, and each
edit stayed an edit (same href and UID). Then the calendar emptied on the server makes
the next sync stop and ask (exit 3) with the file unchanged, and a stopped server makes
it fail (exit 1) with a clear message and nothing changed.

Exit 77 (skipped) without Radicale or python3-caldav.

Usage: radicale_check.py MEMRO_CLI WORK_DIR
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

import radicale_server

try:
    import caldav
    import radicale  # noqa: F401
except ImportError as missing:
    print(f"skipped: {missing} (install radicale and python3-caldav)")
    sys.exit(77)

CLI = sys.argv[1]
WORK = tempfile.mkdtemp(prefix="radicale-", dir=sys.argv[2] if len(sys.argv) > 2 else None)
RECORD = 1019
PASSWORD = "s3cret pw"


def start_server():
    return radicale_server.start_server(WORK, "alice", PASSWORD)


class Machine:
    """An event file with its own home, state and settings."""

    def __init__(self, name):
        self.home = os.path.join(WORK, name)
        self.file = os.path.join(self.home, "events.mmo")
        self.env = dict(os.environ)
        for var, sub in (("HOME", ""), ("MEMRO_HOME", "memro"), ("XDG_STATE_HOME", "state"),
                         ("XDG_CONFIG_HOME", "config"), ("TMPDIR", "tmp"), ("TEMP", "tmp"),
                         ("XDG_RUNTIME_DIR", "run")):
            self.env[var] = os.path.join(self.home, sub)
            os.makedirs(self.env[var], mode=0o700, exist_ok=True)
        self.env.pop("MEMRO_SYNC_PASSWORD", None)

    def cli(self, *words, expect=0):
        result = subprocess.run([CLI, *words], env=self.env, capture_output=True, text=True,
                                timeout=120)
        if result.returncode != expect:
            sys.exit(f"memro-cli {' '.join(words)}: exit {result.returncode}, not {expect}\n"
                     f"{result.stdout}{result.stderr}")
        return result.stdout + result.stderr

    def sync(self, expect=0):
        return self.cli("sync", self.file, expect=expect)

    def add(self, date, message):
        self.cli("add", self.file, "--date", date, "--message", message)

    def records(self):
        with open(self.file, "rb") as f:
            data = f.read()
        return [data[i:i + RECORD] for i in range(RECORD, len(data), RECORD)]

    def write(self, records):
        with open(self.file, "rb") as f:
            header = f.read(RECORD)
        with open(self.file, "wb") as f:
            f.write(header + b"".join(records))

    def edit(self, old, new):
        """Changes a message in place, as the editor does."""
        records = self.records()
        i = next(i for i, r in enumerate(records) if r[9:1009].rstrip() == old.encode())
        records[i] = records[i][:9] + new.encode().ljust(1000) + records[i][1009:]
        self.write(records)

    def delete(self, message):
        self.write([r for r in self.records() if r[9:1009].rstrip() != message.encode()])

    def events(self):
        return sorted(r[9:1009].rstrip().decode("cp1252") for r in self.records())


def phone_events(calendar):
    events = {}
    for e in calendar.events():
        summary = re.search(r"^SUMMARY:(.*)$", e.data, re.M).group(1).strip()
        uid = re.search(r"^UID:(.*)$", e.data, re.M).group(1).strip()
        events[summary] = (str(e.url), uid, e)
    return events


def check(condition, what):
    if not condition:
        sys.exit("failed: " + what)


def main():
    server, port = start_server()
    try:
        run(server, port)
    finally:
        server.kill()
        server.wait()
    shutil.rmtree(WORK, ignore_errors=True)


def run(server, port):
    a, b = Machine("a"), Machine("b")
    for message, date in (("Anna's birthday", "Jan 5 2027"), ("Pay the rent", "Feb 1 2027"),
                          ("Dentist", "Mar 15 2027"), ("Car service", "Apr 2 2027")):
        a.add(date, message)
    setup = a.cli("sync", a.file, "--setup", f"http://127.0.0.1:{port}/", "--user", "alice",
                  "--password-command", f"printf '%s\\n' '{PASSWORD}'")
    url = re.search(r"is synced with (\S+)", setup).group(1)
    b.add("May 1 2027", "Garden party")
    b.env["MEMRO_SYNC_PASSWORD"] = PASSWORD
    b.cli("sync", b.file, "--setup", f"http://127.0.0.1:{port}/", "--calendar", "Memro",
          "--user", "alice")
    check(len(b.events()) == 5, "the second machine's first sync merges: " + str(b.events()))

    client = caldav.DAVClient(url=url, username="alice", password=PASSWORD)
    calendar = caldav.Calendar(client=client, url=url)
    before = phone_events(calendar)
    check(len(before) == 5, "the phone sees five events: " + str(sorted(before)))

    # The phone edits one event, adding an alarm and a category, deletes one, adds one.
    _, _, anna = before["Anna's birthday"]
    anna.data = (anna.data.replace("SUMMARY:Anna's birthday", "SUMMARY:Anna's 40th birthday")
                 .replace("DESCRIPTION:Anna's birthday", "DESCRIPTION:Anna's 40th birthday")
                 .replace("END:VEVENT", "CATEGORIES:Family\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                          "DESCRIPTION:Call\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT"))
    anna.save()
    before["Car service"][2].delete()
    calendar.save_event("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\n"
                        "UID:phone-1\r\nDTSTAMP:20261201T000000Z\r\nDTSTART;VALUE=DATE:20270610\r\n"
                        "SUMMARY:Concert\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
    calendar.save_event("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\n"
                        "UID:phone-2\r\nDTSTAMP:20261201T000000Z\r\nDTSTART;VALUE=DATE:20261207\r\n"
                        "RRULE:FREQ=WEEKLY;INTERVAL=2\r\nSUMMARY:Bins\r\nEND:VEVENT\r\n"
                        "END:VCALENDAR\r\n")

    # Machine a edits and deletes, machine b edits; syncs in varying order.
    a.edit("Pay the rent", "Pay the rent to Bob")
    a.delete("Dentist")
    b.edit("Garden party", "Garden party at noon")
    out = b.sync()
    check("left alone in the calendar: \"Bins\"" in out, "the foreign series is named: " + out)
    a.sync()
    a.edit("Anna's 40th birthday", "Anna's 40th birthday party")
    a.sync()
    b.sync()
    a.sync()
    for _ in range(2):
        b.sync()

    after = phone_events(calendar)
    expected = sorted(["Anna's 40th birthday party", "Pay the rent to Bob",
                       "Garden party at noon", "Concert"])
    check(a.events() == expected, "machine a holds " + str(a.events()))
    check(b.events() == expected, "machine b holds " + str(b.events()))
    check(sorted(after) == sorted(expected + ["Bins"]), "the phone holds " + str(sorted(after)))
    for old, new in (("Anna's birthday", "Anna's 40th birthday party"),
                     ("Pay the rent", "Pay the rent to Bob"),
                     ("Garden party", "Garden party at noon")):
        check(after[new][:2] == before[old][:2], f"'{old}' stayed one event when edited")
    anna_text = after["Anna's 40th birthday party"][2].data
    check("CATEGORIES:Family" in anna_text and "TRIGGER:-PT15M" in anna_text,
          "the phone's category and alarm survive Memro's edit:\n" + anna_text)

    # The calendar emptied on the server: the next sync stops and deletes nothing.
    for summary, (_, _, event) in phone_events(calendar).items():
        event.delete()
    kept = open(a.file, "rb").read()
    out = a.sync(expect=3)
    check("stopped before changing anything" in out, "the stop says why: " + out)
    check(open(a.file, "rb").read() == kept, "the emptied calendar deleted nothing")

    # The server stopped: a clear message, exit 1, nothing changed.
    server.send_signal(signal.SIGTERM)
    server.wait()
    kept = open(b.file, "rb").read()
    out = b.sync(expect=1)
    check("cannot reach" in out and "Nothing was changed" in out, "the failure says so: " + out)
    check(open(b.file, "rb").read() == kept, "a failed sync changed nothing")
    print("all three hold the same events; the stops and the failure changed nothing")


main()
