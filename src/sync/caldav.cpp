#include "sync/caldav.h"

#include "sync/dav_xml.h"

namespace memro::sync {
namespace {

constexpr int kBatch = 50;

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

// href -> ETag of every member: sync-collection (from the start), else PROPFIND.
std::map<QString, QString> Members(DavClient& client, const QUrl& collection, Listing& out) {
  const QByteArray report =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
      "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token/><d:sync-level>1</d:sync-level>"
      "<d:prop><d:getetag/></d:prop></d:sync-collection>";
  DavReply reply = client.Send("REPORT", collection, report, {{"Content-Type", kXml}});
  Multistatus m;
  if (reply.status == 207) {
    m = ParseMultistatus(reply.body);
    out.token = m.syncToken.toStdString();
  } else {
    m = Propfind(client, collection, "1", "<d:resourcetype/><d:getetag/>", &reply);
    if (reply.status != 207) {
      throw DavError("the server does not list the calendar " +
                     collection.toString().toStdString() + " (HTTP " +
                     std::to_string(reply.status) + ")");
    }
  }
  std::map<QString, QString> members;
  for (const DavResponse& r : m.responses) {
    if (r.status == 0 && !IsCollection(collection, r)) members[r.href] = r.props.value("getetag");
  }
  return members;
}

}  // namespace

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

Listing ListEvents(DavClient& client, const QUrl& collection,
                   const std::map<std::string, std::pair<std::string, std::string>>& known) {
  Listing out;
  QStringList changed;
  const std::map<QString, QString> members = Members(client, collection, out);
  // A listing may leave out what is still there: what vanished is asked for by name, and
  // only an event the server no longer gives (404) counts as deleted.
  for (const auto& [href, old] : known) {
    if (!members.count(QString::fromStdString(href))) changed << QString::fromStdString(href);
  }
  for (const auto& [href, etag] : members) {
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

PutResult PutEvent(DavClient& client, const QUrl& collection, const std::string& href,
                   const std::string& ics, const std::string& ifMatch) {
  Headers headers{{"Content-Type", "text/calendar; charset=utf-8"}};
  headers.append(ifMatch.empty() ? qMakePair(QByteArray("If-None-Match"), QByteArray("*"))
                                 : qMakePair(QByteArray("If-Match"), QByteArray(ifMatch.c_str())));
  const QUrl url = collection.resolved(QUrl(QString::fromStdString(href)));
  const DavReply reply = client.Send("PUT", url, QByteArray::fromStdString(ics), headers);
  PutResult result{reply.status, reply.etag.toStdString(), ics};
  if (reply.status / 100 == 2) {
    // The server may keep another text than it was given (and then gives no ETag).
    Listing again;
    Fetch(client, collection, {QString::fromStdString(href)}, again);
    if (!again.resources.empty()) {
      result.etag = again.resources.front().etag;
      result.ics = again.resources.front().ics;
    }
  }
  return result;
}

int DeleteEvent(DavClient& client, const QUrl& collection, const std::string& href,
                const std::string& etag) {
  const QUrl url = collection.resolved(QUrl(QString::fromStdString(href)));
  return client.Send("DELETE", url, {}, {{"If-Match", QByteArray::fromStdString(etag)}}).status;
}

}  // namespace memro::sync
