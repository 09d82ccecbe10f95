#!/usr/bin/python3
"""memro-cli sync --setup against a small server of recorded answers, for what Radicale
does not do: discovery through a redirected /.well-known/caldav (the PROPFIND must stay a
PROPFIND), a 429 answered again after its Retry-After, a server without sync-collection
(the listing falls back to PROPFIND), and a new event PUT with If-None-Match to an href
of plain characters.

Usage: protocol_check.py MEMRO_CLI WORK_DIR
"""
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading

CLI = sys.argv[1]
WORK = tempfile.mkdtemp(prefix="protocol-", dir=sys.argv[2] if len(sys.argv) > 2 else None)
CAL = "/dav/cals/work/"


def multistatus(*responses):
    body = "".join(f"<d:response><d:href>{href}</d:href><d:propstat><d:prop>{props}</d:prop>"
                   "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
                   for href, props in responses)
    return (207, {}, '<?xml version="1.0"?><d:multistatus xmlns:d="DAV:" '
            f'xmlns:c="urn:ietf:params:xml:ns:caldav">{body}</d:multistatus>')


PRINCIPAL = "<d:current-user-principal><d:href>/dav/p/</d:href></d:current-user-principal>"
CALENDAR = ("<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"
            "<d:displayname>Work</d:displayname><c:supported-calendar-component-set>"
            '<c:comp name="VEVENT"/></c:supported-calendar-component-set>')
stored = {}
seen = []
busy = [True]


def answer(method, path, body):
    if method == "PROPFIND" and path == "/.well-known/caldav":
        return 301, {"Location": "/dav/"}, ""
    if method == "PROPFIND" and path == "/dav/":
        if busy[0]:
            busy[0] = False
            return 429, {"Retry-After": "1"}, ""
        return multistatus(("/dav/", PRINCIPAL))
    if method == "PROPFIND" and path == "/dav/p/":
        return multistatus(("/dav/p/", "<c:calendar-home-set><d:href>/dav/cals/</d:href>"
                            "</c:calendar-home-set>"))
    if method == "PROPFIND" and path == "/dav/cals/":
        return multistatus(("/dav/cals/", "<d:resourcetype><d:collection/></d:resourcetype>"),
                           (CAL, CALENDAR))
    if method == "PROPFIND" and path == CAL:
        return multistatus((CAL, CALENDAR + PRINCIPAL),
                           *[(h, f"<d:getetag>\"{e}\"</d:getetag>") for h, (e, _) in stored.items()])
    if method == "REPORT" and "calendar-multiget" in body:
        return multistatus(*[(h, f"<d:getetag>\"{e}\"</d:getetag><c:calendar-data>{t}"
                              "</c:calendar-data>") for h, (e, t) in stored.items()
                             if h in body])
    if method == "PUT" and path.startswith(CAL):
        stored[path] = (len(stored) + 1, body)
        return 201, {}, ""
    return 501, {}, ""


class Handler(http.server.BaseHTTPRequestHandler):
    def handle_one(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length).decode()
        seen.append((self.command, self.path, self.headers.get("If-None-Match")))
        status, headers, text = answer(self.command, self.path, body)
        data = text.encode()
        self.send_response(status)
        for name, value in headers.items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    do_PROPFIND = do_REPORT = do_PUT = do_GET = do_DELETE = handle_one

    def log_message(self, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    env = dict(os.environ, HOME=WORK, MEMRO_HOME=WORK + "/memro", TMPDIR=WORK,
               XDG_RUNTIME_DIR=WORK, MEMRO_SYNC_PASSWORD="pw")
    events = os.path.join(WORK, "events.mmo")
    subprocess.run([CLI, "add", events, "--date", "Jan 5 2027", "--message", "Anna"], env=env,
                   check=True)
    result = subprocess.run([CLI, "sync", events, "--setup",
                             f"http://127.0.0.1:{server.server_port}/", "--user", "u"],
                            env=env, capture_output=True, text=True, timeout=120)
    server.shutdown()
    log = "\n".join(map(str, seen))
    failures = []
    if result.returncode != 0:
        failures.append(f"exit {result.returncode}: {result.stdout}{result.stderr}")
    if ("PROPFIND", "/dav/", None) not in seen or any(m == "GET" for m, _, _ in seen):
        failures.append("the redirected PROPFIND did not stay one")
    if len([s for s in seen if s[:2] == ("PROPFIND", "/dav/")]) != 2:
        failures.append("the busy answer was not asked again once")
    puts = [s for s in seen if s[0] == "PUT"]
    if len(puts) != 1 or puts[0][2] != "*" or not re.fullmatch(CAL + r"[a-z0-9-]+\.ics", puts[0][1]):
        failures.append("the new event was not PUT once with If-None-Match to a plain href")
    if failures:
        sys.exit("failed: " + "; ".join(failures) + "\nrequests:\n" + log)
    shutil.rmtree(WORK, ignore_errors=True)
    print("discovery, retry, fallback listing and the new event's PUT as expected")


main()
