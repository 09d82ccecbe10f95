#pragma once

#include <QString>
#include <QUrl>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "sync/dav_client.h"
#include "sync/remote_event.h"

// The CalDAV requests of a sync (RFC 4791, 6578, 6764).
namespace memro::sync {

struct CalendarEntry {
  QUrl url;
  QString name;
  bool events = true;  // it holds VEVENTs (a calendar that names no components does)
};

struct Discovery {
  QString principal;  // the principal's path, "" when the server names none
  QUrl home;          // where the user's calendars are made; empty for a calendar's URL
  std::vector<CalendarEntry> calendars;
};

// From a calendar's own URL or a server's address: /.well-known/caldav,
// current-user-principal, calendar-home-set and the calendars there.
Discovery Discover(DavClient& client, const QUrl& start);

// The principal the server names for the user at url, "" when it names none.
QString PrincipalAt(DavClient& client, const QUrl& url);

// Makes a calendar of that display name at url.
void MakeCalendar(DavClient& client, const QUrl& url, const QString& name);

struct Listing {
  std::vector<RemoteResource> resources;
  std::string token;
};

// Every event resource of the calendar. known: href -> (ETag, text) of the last sync;
// only resources whose ETag changed are fetched (calendar-multiget, in batches), and
// those that vanished from the listing, to be sure they are gone.
Listing ListEvents(DavClient& client, const QUrl& collection,
                   const std::map<std::string, std::pair<std::string, std::string>>& known);

struct PutResult {
  int status = 0;
  std::string etag;  // the new ETag; fetched again when the PUT gave none
  std::string ics;   // the text the server now holds
};
// ifMatch empty: only when no resource is there (If-None-Match: *).
PutResult PutEvent(DavClient& client, const QUrl& collection, const std::string& href,
                   const std::string& ics, const std::string& ifMatch);
int DeleteEvent(DavClient& client, const QUrl& collection, const std::string& href,
                const std::string& etag);

}  // namespace memro::sync
