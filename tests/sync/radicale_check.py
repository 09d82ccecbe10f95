#!/usr/bin/python3
"""Two event files ("two machines", each with its own state) and a phone (python3-caldav)
sync through a real CalDAV server (Radicale, or Xandikos whose answers differ): events
added, edited and deleted on each side, syncs in varying order. At the end all three
hold the same events, none lost or doubled, and each edit stayed an edit (same href and
UID). Then: one event edited on both machines keeps both versions and says so; the
phone's series every 2 weeks survives ten syncs untouched; a token the server no longer
knows makes a full listing; a change the listing missed makes the PUT fail (412), and it
is fetched, merged and sent again; the calendar emptied on the server makes the next
sync stop and ask (exit 3) with the file unchanged, and so does a setup pointing at an
empty calendar by mistake; a stopped server makes it fail (exit 1) with a clear message
and nothing changed, and once the server is back the next sync catches up.

Exit 77 (skipped) without the server or python3-caldav.

Usage: radicale_check.py MEMRO_CLI WORK_DIR [radicale|xandikos]
"""
import json
import os
import re
import shutil
import signal
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing left in the source tree
from sync_fixtures import SERVERS, PASSWORD, Machine, check, phone_events  # noqa: E402

SERVER = sys.argv[3] if len(sys.argv) > 3 else "radicale"
try:
    import caldav
except ImportError as missing:
    print(f"skipped: {missing} (install python3-caldav)")
    sys.exit(77)
if not os.path.exists(SERVERS[SERVER][0]):
    print(f"skipped: {SERVER} is not installed")
    sys.exit(77)

CLI = sys.argv[1]
WORK = tempfile.mkdtemp(prefix=SERVER + "-", dir=sys.argv[2] if len(sys.argv) > 2 else None)


def main():
    server, port = SERVERS[SERVER][1](WORK)
    try:
        run(server, port)
    finally:
        server.kill()
        server.wait()
    shutil.rmtree(WORK, ignore_errors=True)


def run(server, port):
    a, b = Machine(CLI, WORK, "a"), Machine(CLI, WORK, "b")
    calendar = two_machines_and_a_phone(a, b, port)
    both_edited(a, b, calendar)
    foreign_series_untouched(a, b, calendar)
    token_forgotten(a)
    change_the_listing_missed(a, calendar)
    emptied_and_stopped(a, b, calendar, server, port)
    print(f"{SERVER}: all three hold the same events; conflicts, tokens and 412 as expected; "
          "the stops and the failure changed nothing; the next sync caught up")


def two_machines_and_a_phone(a, b, port):
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
    return calendar


def both_edited(a, b, calendar):
    """The same message changed on both machines: each keeps its own, and the other's
    comes as the conflicting copy, on both machines and the phone."""
    a.edit("Concert", "Concert at eight")
    b.edit("Concert", "Concert moved")
    a.sync()
    out = b.sync()
    check("\"Concert at eight\" was changed on both sides (message)" in out,
          "the conflict is reported: " + out)
    a.sync()
    versions = ["(conflicting copy) Concert at eight", "Concert moved"]
    for machine in (a, b):
        check([e for e in machine.events() if e.startswith(("Concert", "(conf"))] == versions,
              "both versions are kept: " + str(machine.events()))
    check(all(v in phone_events(calendar) for v in versions), "the phone holds both versions")


def foreign_series_untouched(a, b, calendar):
    url, _, bins = phone_events(calendar)["Bins"]
    text = bins.data
    for i in range(10):
        out = (a if i % 2 else b).sync()
        check(out.count("left alone in the calendar: \"Bins\"") == 1, "named once: " + out)
    bins = phone_events(calendar)["Bins"][2]
    check(str(bins.url) == url and bins.data == text, "the series stayed as the phone left it")
    check(all("Bins" not in e for e in a.events() + b.events()), "the series is not imported")


def set_token(machine, token):
    [path] = machine.state_files()
    with open(path) as f:
        state = json.load(f)
    state["token"] = token
    with open(path, "w") as f:
        json.dump(state, f)


def token_forgotten(a):
    kept = a.events()
    set_token(a, "http://radicale.org/ns/sync/" + "0" * 64)
    out = a.sync()
    check("are in sync" in out and a.events() == kept, "a full listing follows: " + out)


def change_the_listing_missed(a, calendar):
    """The phone moves an event while the state's token already covers it: Memro's PUT
    of its own edit meets a 412, and the event is fetched, merged and sent once more."""
    _, _, party = phone_events(calendar)["Anna's 40th birthday party"]
    party.data = re.sub(r"(DT(START|END);VALUE=DATE:\d{4}01)(\d\d)",
                        lambda m: m.group(1) + "%02d" % (int(m.group(3)) + 7), party.data)
    party.save()
    set_token(a, calendar.objects_by_sync_token(load_objects=False).sync_token)
    a.edit("Anna's 40th birthday party", "Anna's party")
    out = a.sync()
    with open(os.path.join(WORK, "server.log")) as log:
        check(re.search(r"PUT.*\b412\b", log.read()), "the server answered 412")
    check("put aside" not in out, "the 412 was merged: " + out)
    text = phone_events(calendar)["Anna's party"][2].data
    check(re.search(r"DTSTART;VALUE=DATE:\d{4}0112", text) and "CATEGORIES:Family" in text,
          "the phone's move and category are kept:\n" + text)
    record = next(r for r in a.records() if r[9:1009].rstrip() == b"Anna's party")
    check(record[:9].startswith(b"Jan12"),
          "the file has the phone's date: " + repr(record[:9]))


def emptied_and_stopped(a, b, calendar, server, port):
    # The calendar emptied on the server: the next sync stops and deletes nothing.
    for summary, (_, _, event) in phone_events(calendar).items():
        event.delete()
    kept = open(a.file, "rb").read()
    out = a.sync(expect=3)
    check("stopped before changing anything" in out, "the stop says why: " + out)
    check(open(a.file, "rb").read() == kept, "the emptied calendar deleted nothing")

    # A setup pointing at an empty calendar by mistake: its sync and the next stop and ask.
    kept = open(b.file, "rb").read()
    out = b.cli("sync", b.file, "--setup", f"http://127.0.0.1:{port}/", "--calendar", "Empty",
                "--user", "alice", expect=3)
    check("is empty, while" in out and "Nothing was changed" in out, "the stop says why: " + out)
    b.sync(expect=3)
    check(open(b.file, "rb").read() == kept, "the empty calendar deleted nothing")

    # The server stopped: a clear message, exit 1, nothing changed; once it is back, the
    # next sync catches up.
    c = Machine(CLI, WORK, "c")
    c.env["MEMRO_SYNC_PASSWORD"] = PASSWORD
    c.add("Jun 1 2027", "Picnic")
    c.cli("sync", c.file, "--setup", f"http://127.0.0.1:{port}/", "--calendar", "Memro",
          "--user", "alice")
    server.send_signal(signal.SIGTERM)
    server.wait()
    c.add("Jul 4 2027", "Fireworks")
    kept = open(c.file, "rb").read()
    out = c.sync(expect=1)
    check("cannot reach" in out and "Nothing was changed" in out, "the failure says so: " + out)
    check(open(c.file, "rb").read() == kept, "a failed sync changed nothing")
    again, _ = SERVERS[SERVER][1](WORK, port=port)
    try:
        c.sync()
        check({"Picnic", "Fireworks"} <= set(phone_events(calendar)),
              "the next sync catches up: " + str(sorted(phone_events(calendar))))
    finally:
        again.kill()
        again.wait()


main()
