#include "sync/caldav.h"

#include <optional>

#include "sync/dav_xml.h"

namespace memro::sync {
namespace {

constexpr int kBatch = 50;
constexpr int kMaxPages = 1000;  // a server that pages for ever is not followed for ever

const QByteArray kXml = "application/xml; charset=utf-8";

QByteArray PropfindBody(const QByteArray& props) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
         "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>" +
         props + "</d:prop></d:propfind>";
}

Multistatus Propfind(DavClient& client, const QUrl& url, const char* depth, const QByteArray& props,
                     DavReply* raw = nullptr) {
  const DavReply reply =
      client.Send("PROPFIND", url, PropfindBody(props), {{"Depth", depth}, {"Content-Type", kXml}});
  if (raw) *raw = reply;
  if (reply.status == 401) {
    throw DavError("the server at " + url.toString().toStdString() +
                   " refused the user name or password");
  }
  return reply.status == 207 ? ParseMultistatus(reply.body) : Multistatus{};
}

QString FirstProp(const Multistatus& m, const char* name) {
  for (const DavResponse& r : m.responses) {
    if (r.props.contains(name)) return r.props.value(name).trimmed();
  }
  return {};
}

CalendarEntry Entry(const QUrl& base, const DavResponse& r) {
  return {base.resolved(QUrl(r.href)), r.props.value("displayname").trimmed(),
          r.components.isEmpty() || r.components.contains("VEVENT")};
}

const QByteArray kCalendarProps =
    "<d:resourcetype/><d:displayname/><d:current-user-principal/>"
    "<c:supported-calendar-component-set/>";

std::vector<CalendarEntry> CalendarsIn(const QUrl& base, const Multistatus& m) {
  std::vector<CalendarEntry> out;
  for (const DavResponse& r : m.responses) {
    if (r.resourceTypes.contains("calendar")) out.push_back(Entry(base, r));
  }
  return out;
}

bool IsCollection(const QUrl& collection, const DavResponse& r) {
  return r.href.endsWith('/') || collection.resolved(QUrl(r.href)).path() == collection.path();
}

void Fetch(DavClient& client, const QUrl& collection, const QStringList& hrefs, Listing& out) {
  QByteArray body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<c:calendar-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
      "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
  for (const QString& href : hrefs)
    body += "<d:href>" + href.toHtmlEscaped().toUtf8() + "</d:href>";
  body += "</c:calendar-multiget>";
  const DavReply reply =
      client.Send("REPORT", collection, body, {{"Depth", "1"}, {"Content-Type", kXml}});
  if (reply.status != 207) {
    throw DavError("the server did not give the calendar's events (HTTP " +
                   std::to_string(reply.status) + ")");
  }
  for (const DavResponse& r : ParseMultistatus(reply.body).responses) {
    if (!r.props.contains("calendar-data")) continue;  // gone meanwhile (404)
    out.resources.push_back({r.href.toStdString(), r.props.value("getetag").toStdString(),
                             r.props.value("calendar-data").toStdString()});
  }
}

QByteArray SyncCollectionBody(const QString& token) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
         "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
         token.toHtmlEscaped().toUtf8() +
         "</d:sync-token><d:sync-level>1</d:sync-level>"
         "<d:prop><d:getetag/></d:prop></d:sync-collection>";
}

bool InvalidToken(const DavReply& reply) {
  return (reply.status == 403 || reply.status == 409) && reply.body.contains("valid-sync-token");
}

// What changed since token (all members when it is empty), page by page: a server that
// cuts its answer short says so with a 507 on the collection and a token to go on from.
// Nothing when the server has no sync-collection or no longer knows the token.
std::optional<Multistatus> SyncChanges(DavClient& client, const QUrl& collection, QString token,
                                       DavReply& reply) {
  Multistatus all;
  for (int page = 0; page < kMaxPages; ++page) {
    reply = client.Send("REPORT", collection, SyncCollectionBody(token),
                        {{"Depth", "0"}, {"Content-Type", kXml}});
    if (reply.status != 207) return std::nullopt;
    Multistatus m = ParseMultistatus(reply.body);
    bool more = false;
    for (DavResponse& r : m.responses) {
      if (IsCollection(collection, r)) {
        more = more || r.status == 507;
      } else {
        all.responses.push_back(std::move(r));
      }
    }
    if (m.syncToken.isEmpty() || (more && m.syncToken == token)) break;  // no way on
    token = m.syncToken;
    if (!more) break;
  }
  all.syncToken = token;
  return all;
}

// href -> ETag of the members the listing names, and the hrefs it says are gone. With the
// last sync's token only the changes come, else every member: by sync-collection, else
// PROPFIND.
struct Members {
  std::map<QString, QString> etags;
  QStringList removed;
  bool whole = true;
};

Members ListMembers(DavClient& client, const QUrl& collection, const std::string& lastToken,
                    Listing& out) {
  Members members;
  DavReply reply;
  std::optional<Multistatus> m;
  if (!lastToken.empty()) {
    m = SyncChanges(client, collection, QString::fromStdString(lastToken), reply);
    members.whole = !m;
  }
  if (!m && (lastToken.empty() || InvalidToken(reply))) {
    m = SyncChanges(client, collection, {}, reply);
  }
  if (m) {
    out.token = m->syncToken.toStdString();
  } else {
    m = Propfind(client, collection, "1", "<d:resourcetype/><d:getetag/>", &reply);
    if (reply.status != 207) {
      throw DavError("the server does not list the calendar " +
                     collection.toString().toStdString() + " (HTTP " +
                     std::to_string(reply.status) + ")");
    }
  }
  for (const DavResponse& r : m->responses) {
    if (IsCollection(collection, r)) continue;
    if (r.status == 0) members.etags[r.href] = r.props.value("getetag");
    if (r.status == 404) members.removed << r.href;
  }
  return members;
}

}  // namespace

std::optional<Changes> ChangesSince(DavClient& client, const QUrl& collection,
                                    const std::string& token) {
  DavReply reply;
  const auto m = SyncChanges(client, collection, QString::fromStdString(token), reply);
  if (!m) return std::nullopt;
  Changes changes{{}, {}, m->syncToken.toStdString()};
  for (const DavResponse& r : m->responses) {
    if (r.status == 0) changes.etags[r.href.toStdString()] = r.props.value("getetag").toStdString();
    if (r.status == 404) changes.removed.insert(r.href.toStdString());
  }
  return changes;
}

QString PrincipalAt(DavClient& client, const QUrl& url) {
  return FirstProp(Propfind(client, url, "0", "<d:current-user-principal/>"),
                   "current-user-principal");
}

Discovery Discover(DavClient& client, const QUrl& start) {
  Discovery found;
  DavReply raw;
  const Multistatus here = Propfind(client, start, "0", kCalendarProps, &raw);
  found.principal = FirstProp(here, "current-user-principal");
  found.calendars = CalendarsIn(start, here);
  if (!found.calendars.empty()) return found;
  if (found.principal.isEmpty()) {
    found.principal = PrincipalAt(client, start.resolved(QUrl("/.well-known/caldav")));
  }
  if (found.principal.isEmpty()) {
    throw DavError("no CalDAV server answers at " + start.toString().toStdString() +
                   (raw.status ? " (HTTP " + std::to_string(raw.status) + ")" : ""));
  }
  const QUrl principal = start.resolved(QUrl(found.principal));
  const QString home =
      FirstProp(Propfind(client, principal, "0", "<c:calendar-home-set/>"), "calendar-home-set");
  if (home.isEmpty()) throw DavError("the server names no place for the user's calendars");
  found.home = start.resolved(QUrl(home));
  found.calendars = CalendarsIn(start, Propfind(client, found.home, "1", kCalendarProps));
  return found;
}

void MakeCalendar(DavClient& client, const QUrl& url, const QString& name) {
  const QByteArray body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<c:mkcalendar xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:set><d:prop>"
      "<d:displayname>" +
      name.toHtmlEscaped().toUtf8() +
      "</d:displayname><c:supported-calendar-component-set><c:comp name=\"VEVENT\"/>"
      "</c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>";
  const DavReply reply = client.Send("MKCALENDAR", url, body, {{"Content-Type", kXml}});
  if (reply.status != 201) {
    throw DavError("the server did not make the calendar " + url.toString().toStdString() +
                   " (HTTP " + std::to_string(reply.status) + ")");
  }
}

Listing ListEvents(DavClient& client, const QUrl& collection, const Known& known,
                   const std::string& token) {
  Listing out;
  QStringList changed;
  Members members = ListMembers(client, collection, token, out);
  if (!members.whole) {  // the changes only: the rest is as the last sync left it
    for (const auto& [href, old] : known) {
      members.etags.try_emplace(QString::fromStdString(href), QString::fromStdString(old.first));
    }
    for (const QString& href : members.removed) members.etags.erase(href);
  }
  // A listing may leave out what is still there: what vanished is asked for by name, and
  // only an event the server no longer gives (404) counts as deleted.
  for (const auto& [href, old] : known) {
    if (!members.etags.count(QString::fromStdString(href))) changed << QString::fromStdString(href);
  }
  for (const auto& [href, etag] : members.etags) {
    const auto old = known.find(href.toStdString());
    if (old != known.end() && !etag.isEmpty() && old->second.first == etag.toStdString()) {
      out.resources.push_back({old->first, old->second.first, old->second.second});
    } else {
      changed << href;
    }
  }
  for (qsizetype i = 0; i < changed.size(); i += kBatch) {
    Fetch(client, collection, changed.mid(i, kBatch), out);
  }
  return out;
}

std::optional<RemoteResource> FetchEvent(DavClient& client, const QUrl& collection,
                                         const std::string& href) {
  Listing again;
  Fetch(client, collection, {QString::fromStdString(href)}, again);
  if (again.resources.empty()) return std::nullopt;
  return again.resources.front();
}

PutResult PutEvent(DavClient& client, const QUrl& collection, const std::string& href,
                   const std::string& ics, const std::string& ifMatch) {
  Headers headers{{"Content-Type", "text/calendar; charset=utf-8"}};
  headers.append(ifMatch.empty() ? qMakePair(QByteArray("If-None-Match"), QByteArray("*"))
                                 : qMakePair(QByteArray("If-Match"), QByteArray(ifMatch.c_str())));
  const QUrl url = collection.resolved(QUrl(QString::fromStdString(href)));
  const DavReply reply = client.Send("PUT", url, QByteArray::fromStdString(ics), headers);
  PutResult result{reply.status, reply.etag.toStdString(), ics};
  if (reply.status == 207) {  // some servers say why inside, e.g. a 412 for a UID in use
    for (const DavResponse& r : ParseMultistatus(reply.body).responses) {
      if (r.status != 0) result.status = r.status;
    }
  }
  // A server that keeps another text than it was given gives no ETag, or a weak one; a
  // strong ETag is the text as sent.
  if (result.Taken() && (result.etag.empty() || result.etag.starts_with("W/"))) {
    if (auto now = FetchEvent(client, collection, href)) {
      result.etag = now->etag;
      result.ics = now->ics;
    }
  }
  return result;
}

int DeleteEvent(DavClient& client, const QUrl& collection, const std::string& href,
                const std::string& etag) {
  std::string ifMatch = etag;
  if (ifMatch.empty() || ifMatch.starts_with("W/")) {
    // A weak ETag never matches in If-Match: the event is deleted only as it was listed.
    const std::optional<RemoteResource> now = FetchEvent(client, collection, href);
    if (!now) return 404;
    if (now->etag != etag) return 412;
    ifMatch = "*";
  }
  const QUrl url = collection.resolved(QUrl(QString::fromStdString(href)));
  return client.Send("DELETE", url, {}, {{"If-Match", QByteArray::fromStdString(ifMatch)}}).status;
}

}  // namespace memro::sync
