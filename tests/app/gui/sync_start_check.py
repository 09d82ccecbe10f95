#!/usr/bin/python3
"""The real program, started on an event file set up for sync, syncs it at its start: an
event a phone (python3-caldav) put in a real Radicale's calendar reaches the file while
the window runs. Run on a display and a session bus of its own; exit 77 (skipped)
without Radicale or python3-caldav.

Usage: sync_start_check.py MEMRO MEMRO_CLI WORK_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../sync"))
try:
    import caldav
    import radicale  # noqa: F401
except ImportError as missing:
    print(f"skipped: {missing} (install radicale and python3-caldav)")
    sys.exit(77)
import sync_fixtures

MEMRO, CLI = sys.argv[1], sys.argv[2]
os.makedirs(sys.argv[3], exist_ok=True)
WORK = tempfile.mkdtemp(prefix="sync-start-", dir=sys.argv[3])
HOME = os.path.join(WORK, "desk")
FILE = os.path.join(HOME, "events.mmo")
PASSWORD = sync_fixtures.PASSWORD
# The program's own home, settings, state and temp; the password as memro-cli takes it.
ENV = {name: os.environ[name] for name in ("PATH", "DISPLAY", "XAUTHORITY",
                                           "DBUS_SESSION_BUS_ADDRESS") if name in os.environ}
ENV.update(LANG="C.UTF-8", TZ="UTC", QT_QPA_PLATFORM="xcb", MEMRO_SYNC_PASSWORD=PASSWORD)
for var in ("HOME", "MEMRO_HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME", "TMPDIR", "TEMP",
            "XDG_RUNTIME_DIR"):
    ENV[var] = os.path.join(HOME, var.lower())
    os.makedirs(ENV[var], mode=0o700, exist_ok=True)


# What the bus starts for the program (the desktop's keyring) keeps its files here too.
subprocess.run(["dbus-update-activation-environment", *(f"{var}={ENV[var]}" for var in (
    "HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR")),
    f"XDG_DATA_HOME={HOME}/data", f"XDG_CACHE_HOME={HOME}/cache"], check=True)


def cli(*words):
    return subprocess.run([CLI, *words], env=ENV, capture_output=True, text=True,
                          timeout=120, check=True).stdout


def run(port):
    cli("add", FILE, "--date", "Jun 1 2031", "--message", "Anna's birthday")
    setup = cli("sync", FILE, "--setup", f"http://127.0.0.1:{port}/", "--user", "alice")
    url = re.search(r"is synced with (\S+)", setup).group(1)
    phone = caldav.DAVClient(url=url, username="alice", password=PASSWORD)
    caldav.Calendar(client=phone, url=url).save_event(
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\nUID:phone-1\r\n"
        "DTSTAMP:20261201T000000Z\r\nDTSTART;VALUE=DATE:20310610\r\nSUMMARY:Concert\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n")
    log = os.path.join(HOME, "memro.log")
    window = subprocess.Popen([MEMRO, FILE], env=ENV, stdout=open(log, "w"),
                              stderr=subprocess.STDOUT)
    for _ in range(600):
        if b"Concert" in open(FILE, "rb").read() or window.poll() is not None:
            break
        time.sleep(0.1)
    ended = window.poll() is not None
    window.terminate()
    window.wait(timeout=30)
    if ended or b"Concert" not in open(FILE, "rb").read():
        sys.exit("failed: the phone's event did not reach the file within 60 s while the "
                 "window ran; its output:\n" + open(log).read())
    print("the window's start-up sync took in the phone's event")


server, port = sync_fixtures.start_radicale(WORK)
try:
    run(port)
finally:
    server.kill()
    server.wait()
shutil.rmtree(WORK, ignore_errors=True)
