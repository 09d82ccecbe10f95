#!/usr/bin/python3
"""The sync's password and a self-signed server, against a real Radicale over TLS and
gnome-keyring-daemon on the private session bus this runs on: only the certificate of the
trusted fingerprint is taken; the password typed at setup (not echoed) goes to the
keyring, the next sync takes it from there, and no file holds it; without a keyring the
setup's password command gives it, and with nothing to give it the sync says what to do;
`sync --if-set-up` (the scheduled check's) syncs the AutoLoad file only when it is set up.
Exit 77 (skipped) without Radicale, python3-caldav, gnome-keyring or openssl.

Usage: dbus-run-session -- keyring_check.py MEMRO_CLI WORK_DIR
"""
import hashlib
import os
import pty
import select
import shutil
import ssl
import subprocess
import sys
import time

import tempfile

from sync_fixtures import PASSWORD, Machine, check, start_radicale

CLI = sys.argv[1]
WORK = tempfile.mkdtemp(prefix="tls-", dir=sys.argv[2] if len(sys.argv) > 2 else None)

for tool in ("radicale", "gnome-keyring-daemon", "openssl"):
    if not shutil.which(tool):
        print(f"skipped: no {tool} (install radicale, gnome-keyring and openssl)")
        sys.exit(77)
if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
    sys.exit("run on a private session bus: dbus-run-session -- keyring_check.py ...")


def make_certificate():
    """A self-signed certificate for 127.0.0.1 and its SHA-256 fingerprint in hex."""
    cert, key = os.path.join(WORK, "cert.pem"), os.path.join(WORK, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                    "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                    "/CN=127.0.0.1", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    with open(cert) as f:
        der = ssl.PEM_cert_to_DER_cert(f.read())
    return cert, key, hashlib.sha256(der).hexdigest()


def start_keyring(machine):
    """gnome-keyring-daemon with an empty, unlocked login keyring kept outside the home."""
    env = dict(machine.env, DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
               XDG_DATA_HOME=os.path.join(WORK, "keyrings"))
    daemon = subprocess.Popen(["gnome-keyring-daemon", "--foreground", "--unlock",
                               "--components=secrets"], env=env, stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    daemon.stdin.write(b"\n")  # the login keyring's password: empty, but a line
    daemon.stdin.close()
    ask = ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
           "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
           "string:org.freedesktop.secrets"]
    for _ in range(100):
        if "true" in subprocess.run(ask, capture_output=True, text=True, env=env).stdout:
            return daemon
        time.sleep(0.1)
    daemon.kill()
    sys.exit("gnome-keyring-daemon did not take org.freedesktop.secrets")


def setup_on_terminal(machine, *words):
    """memro-cli sync --setup with a terminal on which the password is typed at its
    prompt; returns the output and what the terminal showed of the typing."""
    master, slave = pty.openpty()
    proc = subprocess.Popen([CLI, "sync", machine.file, *words], env=machine.env,
                            stdin=slave, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    prompt = b""
    while b"Password of alice" not in prompt:
        ready, _, _ = select.select([proc.stderr], [], [], 30)
        check(ready, "the setup asks for the password on the terminal")
        prompt += os.read(proc.stderr.fileno(), 1024)
    os.write(master, (PASSWORD + "\n").encode())
    ready, _, _ = select.select([master], [], [], 1)
    shown = os.read(master, 1024) if ready else b""
    out, err = proc.communicate(timeout=120)
    os.close(slave)  # only now: its end closed, the terminal's reader would see no echo
    os.close(master)
    check(proc.returncode == 0, f"the setup on a terminal: exit {proc.returncode}\n{out}{err}")
    return (prompt + out + err).decode(), shown


def files_holding(root, secret):
    paths = (os.path.join(d, name) for d, _, names in os.walk(root) for name in names)
    return [p for p in paths if os.path.isfile(p) and secret.encode() in open(p, "rb").read()]


def main():
    cert, key, fingerprint = make_certificate()
    server, port = start_radicale(WORK, f"ssl = True\ncertificate = {cert}\nkey = {key}\n")
    machine = Machine(CLI, WORK, "k")
    daemon = start_keyring(machine)
    try:
        run(machine, f"https://127.0.0.1:{port}/", fingerprint)
    finally:
        for process in (daemon, server):
            process.kill()
            process.wait()
    shutil.rmtree(WORK, ignore_errors=True)


def run(machine, url, fingerprint):
    machine.add("Jan 5 2027", "Anna's birthday")
    command = ["--password-command", f"printf '%s\\n' '{PASSWORD}'"]
    colons = ":".join(fingerprint[i:i + 2] for i in range(0, 64, 2)).upper()
    for trust, what in (([], "no trusted fingerprint"),
                        (["--trust-fingerprint", "ab" * 32], "another certificate's")):
        out = machine.cli("sync", machine.file, "--setup", url, "--user", "alice", *command,
                          *trust, expect=1)
        check("not trusted" in out and colons in out,
              f"{what}: the setup fails and names the certificate's fingerprint: {out}")

    machine.env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"]
    out, shown = setup_on_terminal(machine, "--setup", url, "--user", "alice",
                                   "--trust-fingerprint", colons.lower())
    check("is synced with" in out and "keyring" not in out, "the setup keeps the password: " + out)
    check(PASSWORD.encode() not in shown, "the typed password is not echoed: " + repr(shown))
    machine.add("Feb 1 2027", "Pay the rent")
    check("sent 1 event" in machine.sync(), "the next sync takes the password from the keyring")
    holding = files_holding(machine.home, PASSWORD)
    check(not holding, "no file holds the password: " + str(holding))

    del machine.env["DBUS_SESSION_BUS_ADDRESS"]
    out = machine.sync(expect=1)
    check("no password for alice@127.0.0.1" in out and "--password-command" in out,
          "without a keyring, command or terminal the sync says what to do: " + out)
    out = machine.cli("sync", machine.file, "--setup", url, "--user", "alice", *command,
                      "--trust-fingerprint", fingerprint)
    check("did not keep the password" in out and "password command" in out,
          "without a keyring the setup says where the password comes from: " + out)
    machine.add("Mar 15 2027", "Dentist")
    check("sent 1 event" in machine.sync(), "without a keyring the password command gives it")

    # The scheduled check's step: the AutoLoad file is synced when it is set up, and a file
    # that is not set up is no failure.
    unsynced = Machine(CLI, WORK, "unsynced")
    for who in (machine, unsynced):
        with open(os.path.join(who.env["MEMRO_HOME"], "MEMRX.INI"), "w") as f:
            f.write(f"[Options]\r\nAutoLoad={who.file}\r\n")
        who.add("Apr 2 2027", "Car service")
    check("sent 1 event" in machine.cli("sync", "--if-set-up"), "the AutoLoad file is synced")
    check(unsynced.cli("sync", "--if-set-up") == "", "no setup, nothing to say")
    print("the keyring keeps the password; only the trusted certificate is taken")


main()
