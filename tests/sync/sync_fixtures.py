"""What the sync checks share: a CalDAV server of the machine's started on a free port, an
event file with its own home ("a machine"), and the phone's view of the calendar."""
import os
import re
import socket
import subprocess
import sys
import time

RECORD = 1019
PASSWORD = "s3cret pw"


def check(condition, what):
    if not condition:
        sys.exit("failed: " + what)


def wait_for(log, pattern):
    for _ in range(100):
        log.seek(0)
        found = re.search(pattern, log.read())
        if found:
            return found
        time.sleep(0.1)
    return None


def start_radicale(work, server_options="", port=0):
    """Radicale with htpasswd on 127.0.0.1, on port (0: its own choice, read from its log),
    its files under work. server_options: more lines of its [server] section (TLS)."""
    with open(os.path.join(work, "users"), "w") as f:
        f.write(f"alice:{PASSWORD}\n")
    config = os.path.join(work, "config")
    with open(config, "w") as f:
        f.write(f"[server]\nhosts = 127.0.0.1:{port}\n{server_options}[auth]\ntype = htpasswd\n"
                f"htpasswd_filename = {work}/users\nhtpasswd_encryption = plain\n"
                f"[storage]\nfilesystem_folder = {work}/collections\n[logging]\nlevel = info\n")
    log = open(os.path.join(work, "server.log"), "w+")
    server = subprocess.Popen(["/usr/bin/python3", "-m", "radicale", "--config", config],
                              stdout=log, stderr=subprocess.STDOUT, env=dict(os.environ, HOME=work))
    found = wait_for(log, r"Listening on '\[127\.0\.0\.1\]:(\d+)'")
    if not found:
        server.kill()
        sys.exit("Radicale did not start: see " + log.name)
    return server, int(found.group(1))


def start_xandikos(work, port=0):
    """Xandikos (no log of its port when given 0: a free port is taken first)."""
    if not port:
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
    log = open(os.path.join(work, "server.log"), "w+")
    server = subprocess.Popen(["/usr/bin/xandikos", "-d", os.path.join(work, "dav"),
                               "--autocreate", "-l", "127.0.0.1", "-p", str(port)],
                              stdout=log, stderr=subprocess.STDOUT, env=dict(os.environ, HOME=work))
    if not wait_for(log, r"Running on"):
        server.kill()
        sys.exit("Xandikos did not start: see " + log.name)
    return server, port


SERVERS = {"radicale": ("/usr/bin/radicale", start_radicale),
           "xandikos": ("/usr/bin/xandikos", start_xandikos)}


class Machine:
    """An event file with its own home, state and settings."""

    def __init__(self, cli, work, name):
        self.cli_path = cli
        self.home = os.path.join(work, name)
        self.file = os.path.join(self.home, "events.mmo")
        self.env = dict(os.environ)
        for var, sub in (("HOME", ""), ("MEMRO_HOME", "memro"), ("XDG_STATE_HOME", "state"),
                         ("XDG_CONFIG_HOME", "config"), ("TMPDIR", "tmp"), ("TEMP", "tmp"),
                         ("XDG_RUNTIME_DIR", "run")):
            self.env[var] = os.path.join(self.home, sub)
            os.makedirs(self.env[var], mode=0o700, exist_ok=True)
        # Nothing reaches the user's own session bus and keyring.
        for var in ("MEMRO_SYNC_PASSWORD", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY",
                    "WAYLAND_DISPLAY"):
            self.env.pop(var, None)
        # Under LeakSanitizer: what OpenSSL's TLS keeps to the end of the process is its own.
        supp = os.path.join(self.home, "lsan.supp")
        with open(supp, "w") as f:
            f.write("leak:libcrypto.so\nleak:libssl.so\n")
        lsan = self.env.get("LSAN_OPTIONS")
        self.env["LSAN_OPTIONS"] = f"suppressions={supp}" + (f":{lsan}" if lsan else "")

    def cli(self, *words, expect=0):
        result = subprocess.run([self.cli_path, *words], env=self.env, capture_output=True,
                                text=True, stdin=subprocess.DEVNULL, timeout=300)
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

    def state_files(self):
        folder = os.path.join(self.env["MEMRO_HOME"], "state", "sync")
        return [os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".json")]


def phone_events(calendar):
    events = {}
    for e in calendar.events():
        summary = re.search(r"^SUMMARY:(.*)$", e.data, re.M).group(1).strip()
        uid = re.search(r"^UID:(.*)$", e.data, re.M).group(1).strip()
        events[summary] = (str(e.url), uid, e)
    return events
