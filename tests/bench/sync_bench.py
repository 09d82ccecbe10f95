#!/usr/bin/python3
"""Figures of memro-cli sync against a local Radicale: the first sync of 1,000 events, a
sync with nothing changed and a sync of one edit, each with its wall time and the number
of requests the server saw (from its log).

Usage: sync_bench.py MEMRO_CLI
"""
import os
import re
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "sync"))
sys.dont_write_bytecode = True  # nothing left in the source tree
from sync_fixtures import PASSWORD, Machine, start_radicale  # noqa: E402

EVENTS = 1000


def main():
    if not os.path.exists("/usr/bin/radicale"):
        sys.exit("the sync figures need Radicale (make deps)")
    work = tempfile.mkdtemp(prefix="sync-bench-")
    server, port = start_radicale(work)
    try:
        measure(Machine(sys.argv[1], work, "m"), port, os.path.join(work, "server.log"))
    finally:
        server.kill()
        server.wait()
    shutil.rmtree(work, ignore_errors=True)


def requests(log):
    with open(log) as f:
        return len(re.findall(r"\w+ request for ", f.read()))


def timed(what, log, machine, *words):
    before = requests(log)
    start = time.monotonic()
    machine.cli("sync", machine.file, *words)
    wall = time.monotonic() - start
    print(f"sync {what}: {wall:.2f} s, {requests(log) - before} requests")


def measure(machine, port, log):
    machine.add("Jan 5 2027", "Event 0")
    [first] = machine.records()
    machine.write([first[:9] + f"Event {i}".encode().ljust(1000) + first[1009:]
                   for i in range(EVENTS)])
    machine.env["MEMRO_SYNC_PASSWORD"] = PASSWORD
    timed(f"first, {EVENTS} events (with the setup)", log, machine,
          "--setup", f"http://127.0.0.1:{port}/", "--user", "alice")
    timed("with nothing changed", log, machine)
    machine.edit("Event 500", "Event 500 (moved)")
    timed("of one edit", log, machine)


main()
