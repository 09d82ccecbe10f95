#!/usr/bin/python3
"""memro-cli sync against a small server of recorded answers, for what Radicale does not
do. At setup: discovery through a redirected /.well-known/caldav (the PROPFIND must stay a
PROPFIND), a 429 and a 503 asked again after their Retry-After, a server without
sync-collection (the listing falls back to PROPFIND), a new event PUT with If-None-Match to
an href of plain characters and, as no ETag came with it, fetched again. Then the server
learns sync-collection and cuts its answers into pages (507): the changes since the
stored token only are fetched, page after page; a token it forgot (403) makes a full
listing; weak ETags never go into If-Match (of a PUT or a DELETE); an event refused (a
412 inside a 207), or changed again before each of two PUTs, is put aside and the sync
goes on.

Usage: protocol_check.py MEMRO_CLI WORK_DIR
"""
import http.server
import re
import shutil
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True  # nothing left in the source tree
from sync_fixtures import Machine  # noqa: E402

CLI = sys.argv[1]
WORK = tempfile.mkdtemp(prefix="protocol-", dir=sys.argv[2] if len(sys.argv) > 2 else None)
CAL = "/dav/cals/work/"
PAGE = 2


def multistatus(*responses, extra=""):
    body = "".join(f"<d:response><d:href>{href}</d:href><d:propstat><d:prop>{props}</d:prop>"
                   "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
                   for href, props in responses)
    return (207, {}, '<?xml version="1.0"?><d:multistatus xmlns:d="DAV:" '
            f'xmlns:c="urn:ietf:params:xml:ns:caldav">{body}{extra}</d:multistatus>')


PRINCIPAL = "<d:current-user-principal><d:href>/dav/p/</d:href></d:current-user-principal>"
CALENDAR = ("<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"
            "<d:displayname>Work</d:displayname><c:supported-calendar-component-set>"
            '<c:comp name="VEVENT"/></c:supported-calendar-component-set>')


def token_in(body):
    return re.search(r"<d:sync-token(?:/>|>(.*?)</d:sync-token>)", body).group(1) or ""


class Calendar:
    """The server's events, the history of their changes and how it answers today."""

    def __init__(self):
        self.stored = {}  # href -> (etag, text)
        self.history = []  # hrefs in the order they changed
        self.epoch = 1  # a token of another epoch is one the server forgot
        self.sync = False  # it knows sync-collection
        self.weak = False  # its ETags are weak
        self.refuse = ""  # a text whose PUTs it always refuses (412)
        self.racing = ""  # an href another client always changes just before Memro's PUT
        self.busy = [429, 503]
        self.serial = 0

    def etag(self, href):
        return ('W/"%d"' if self.weak else '"%d"') % self.stored[href][0]

    def put(self, href, text):
        self.serial += 1
        self.stored[href] = (self.serial, text)
        self.history.append(href)

    def changes(self, body):
        token = token_in(body)
        since = 0
        if token:
            epoch, _, n = token.partition("-")
            if epoch != str(self.epoch):
                return 403, {}, ('<?xml version="1.0"?><d:error xmlns:d="DAV:">'
                                 "<d:valid-sync-token/></d:error>")
            since = int(n)
        page = self.history[since:since + PAGE]
        gone = "".join(f"<d:response><d:href>{h}</d:href><d:status>HTTP/1.1 404 Not Found"
                       "</d:status></d:response>" for h in page if h not in self.stored)
        more = since + PAGE < len(self.history)
        if more:
            gone += (f"<d:response><d:href>{CAL}</d:href><d:status>HTTP/1.1 507 Insufficient "
                     "Storage</d:status></d:response>")
        token = f"{self.epoch}-{since + len(page)}"
        return multistatus(*[(h, f"<d:getetag>{self.etag(h)}</d:getetag>")
                             for h in page if h in self.stored],
                           extra=gone + f"<d:sync-token>{token}</d:sync-token>")

    def answer_put(self, path, body, headers):
        exists = path in self.stored
        if path == self.racing:
            self.put(path, self.stored[path][1])
        match = headers.get("If-Match")
        # If-Match compares strongly: a weak ETag matches nothing.
        matches = exists and (match == "*" or (match == self.etag(path) and not self.weak))
        if (match and not matches) or (headers.get("If-None-Match") == "*" and exists):
            return 412, {}, ""
        if self.refuse and self.refuse in body:  # as some servers say a UID is in use
            return 207, {}, ('<?xml version="1.0"?><d:multistatus xmlns:d="DAV:"><d:response>'
                             f"<d:href>{path}</d:href><d:status>HTTP/1.1 412 Precondition "
                             "Failed</d:status></d:response></d:multistatus>")
        self.put(path, body)
        return (204 if exists else 201), {}, ""

    def answer(self, method, path, body, headers):
        if method == "PROPFIND" and path == "/.well-known/caldav":
            return 301, {"Location": "/dav/"}, ""
        if method == "PROPFIND" and path == "/dav/":
            if self.busy:
                return self.busy.pop(0), {"Retry-After": "1"}, ""
            return multistatus(("/dav/", PRINCIPAL))
        if method == "PROPFIND" and path == "/dav/p/":
            return multistatus(("/dav/p/", "<c:calendar-home-set><d:href>/dav/cals/</d:href>"
                                "</c:calendar-home-set>"))
        if method == "PROPFIND" and path == "/dav/cals/":
            return multistatus(("/dav/cals/", "<d:resourcetype><d:collection/></d:resourcetype>"),
                               (CAL, CALENDAR))
        if method == "PROPFIND" and path == CAL:
            return multistatus((CAL, CALENDAR + PRINCIPAL),
                               *[(h, f"<d:getetag>{self.etag(h)}</d:getetag>")
                                 for h in self.stored])
        if method == "REPORT" and "sync-collection" in body and self.sync:
            return self.changes(body)
        if method == "REPORT" and "calendar-multiget" in body:
            return multistatus(*[(h, f"<d:getetag>{self.etag(h)}</d:getetag><c:calendar-data>"
                                  f"{t}</c:calendar-data>") for h, (_, t) in self.stored.items()
                                 if h in body])
        if method == "PUT" and path.startswith(CAL):
            return self.answer_put(path, body, headers)
        if method == "DELETE" and path in self.stored and headers.get("If-Match") == "*":
            del self.stored[path]
            self.history.append(path)
            return 204, {}, ""
        return 501, {}, ""


calendar = Calendar()
seen = []  # (time, method, path, If-None-Match, If-Match, body)


class Handler(http.server.BaseHTTPRequestHandler):
    def handle_one(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length).decode()
        seen.append((time.monotonic(), self.command, self.path, self.headers.get("If-None-Match"),
                     self.headers.get("If-Match"), body))
        status, headers, text = calendar.answer(self.command, self.path, body, self.headers)
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


def phone_event(uid, summary, date):
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\nBEGIN:VEVENT\r\n"
            f"UID:{uid}\r\nDTSTAMP:20261201T000000Z\r\nDTSTART;VALUE=DATE:{date}\r\n"
            f"SUMMARY:{summary}\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")


failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def requests(since, method, asks=""):
    return [s for s in seen[since:] if s[1] == method and asks in s[5]]


def token(request):
    return token_in(request[5])


def setup(machine, port):
    machine.add("Jan 5 2027", "Anna")
    machine.env["MEMRO_SYNC_PASSWORD"] = "pw"
    machine.cli("sync", machine.file, "--setup", f"http://127.0.0.1:{port}/", "--user", "u")
    propfinds = [s for s in seen if s[1:3] == ("PROPFIND", "/dav/")]
    expect(propfinds and not requests(0, "GET"), "the redirected PROPFIND did not stay one")
    expect(len(propfinds) == 3 and all(b[0] - a[0] >= 0.9 for a, b in
                                       zip(propfinds, propfinds[1:])),
           "the busy answers were not asked again after their Retry-After")
    puts = requests(0, "PUT")
    expect(len(puts) == 1 and puts[0][3] == "*" and
           re.fullmatch(CAL + r"[a-z0-9-]+\.ics", puts[0][2]),
           "the new event was not PUT once with If-None-Match to a plain href")
    after = seen[seen.index(puts[0]) + 1:] if puts else []
    expect(any("calendar-multiget" in s[5] for s in after),
           "the PUT answered without an ETag was not fetched again")


def sync_collection(machine):
    calendar.sync = calendar.weak = True
    for i, name in enumerate(("Bob", "Carl", "Dora")):
        calendar.put(f"{CAL}p{i}.ics", phone_event(f"p{i}", name, f"2027020{i + 1}"))
    start = len(seen)
    machine.sync()
    pages = requests(start, "REPORT", "sync-collection")
    expect(len(pages) == 2, f"a listing of 4 in pages of {PAGE} took {len(pages)} requests")
    expect(machine.events() == ["Anna", "Bob", "Carl", "Dora"], "all pages were taken in")

    calendar.put(f"{CAL}p3.ics", phone_event("p3", "Emil", "20270301"))
    calendar.put(f"{CAL}p0.ics", phone_event("p0", "Bob (new)", "20270201"))
    start = len(seen)
    machine.sync()
    listing = requests(start, "REPORT", "sync-collection")
    fetched = "".join(s[5] for s in requests(start, "REPORT", "calendar-multiget"))
    expect(listing and token(listing[0]) == f"1-{len(calendar.history) - 2}",
           "the listing did not start from the stored token: " + str(listing))
    expect(not requests(start, "PROPFIND", "getetag") and "p1.ics" not in fetched,
           "a sync with a token listed or fetched more than the changes")
    expect(machine.events() == ["Anna", "Bob (new)", "Carl", "Dora", "Emil"],
           "the changes since the token: " + str(machine.events()))

    calendar.epoch = 2
    start = len(seen)
    out = machine.sync()
    listing = requests(start, "REPORT", "sync-collection")
    expect("are in sync" in out and len(machine.events()) == 5 and
           [token(s) for s in listing][:2] == ["1-" + str(len(calendar.history)), ""],
           "a forgotten token did not lead to a full listing: " + out + str(listing))


def weak_etags(machine):
    calendar.refuse = "Dora (moved)"
    machine.edit("Carl", "Carl (moved)")
    machine.edit("Dora", "Dora (moved)")
    machine.delete("Emil")
    start = len(seen)
    out = machine.sync()
    writes = requests(start, "PUT") + requests(start, "DELETE")
    expect(len(writes) == 3 and not any((s[4] or "").startswith("W/") for s in writes),
           "a weak ETag went into If-Match: " + str(writes))
    expect(f"{CAL}p3.ics" not in calendar.stored, "the event with a weak ETag was not deleted")
    expect(any("Carl (moved)" in t for _, t in calendar.stored.values()),
           "the event with a weak ETag was not sent: " + out)
    expect("\"Dora (moved)\" was put aside: the server refused it (HTTP 412)" in out,
           "the event refused inside a 207 is named: " + out)


def lost_race(machine):
    """Each PUT of the event meets a 412: it is fetched and sent once more, then put aside."""
    calendar.weak = False
    calendar.put(f"{CAL}p0.ics", phone_event("p0", "Bob", "20270201"))
    machine.sync()
    calendar.racing = f"{CAL}p0.ics"
    machine.edit("Bob", "Bob (late)")
    start = len(seen)
    out = machine.sync()
    puts = [s for s in requests(start, "PUT") if s[2] == calendar.racing]
    expect(len(puts) == 2 and "\"Bob (late)\" was put aside" in out,
           "a second 412 did not put the event aside: " + out)
    expect("Bob (late)" in machine.events(), "the put aside edit stays in the file")


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    machine = Machine(CLI, WORK, "m")
    setup(machine, server.server_port)
    sync_collection(machine)
    if not failures:  # the events it edits are there
        weak_etags(machine)
        lost_race(machine)
    server.shutdown()
    if failures:
        sys.exit("failed: " + "\n".join(failures) + "\nrequests:\n" +
                 "\n".join(map(str, seen)))
    shutil.rmtree(WORK, ignore_errors=True)
    print("discovery, retries, listings by token and in pages, weak ETags and the refused "
          "event as expected")


main()
