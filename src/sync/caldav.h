#pragma once

#include <QString>
#include <QUrl>
#include <map>
#include <optional>
#include <set>
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

// href -> (ETag, text) of every resource at the last sync.
using Known = std::map<std::string, std::pair<std::string, std::string>>;

// Every event resource of the calendar. Only resources whose ETag changed are fetched
// (calendar-multiget, in batches), and those that vanished from the listing, to be sure
// they are gone. token: the last sync's; the server then lists only what changed since,
// and when it no longer knows the token, everything.
Listing ListEvents(DavClient& client, const QUrl& collection, const Known& known,
                   const std::string& token);

// The event at href as the server has it now; nothing when it is gone.
std::optional<RemoteResource> FetchEvent(DavClient& client, const QUrl& collection,
                                         const std::string& href);

struct Changes {
  std::map<std::string, std::string> etags;  // href -> ETag of what is new or changed
  std::set<std::string> removed;
  std::string token;
};
// What changed since token, all pages; nothing when the server cannot say.
std::optional<Changes> ChangesSince(DavClient& client, const QUrl& collection,
                                    const std::string& token);

struct PutResult {
  int status = 0;  // a multistatus answer's own status inside it
  bool Taken() const { return status == 200 || status == 201 || status == 204; }
  std::string etag;  // the new ETag; fetched again when the PUT gave none
  std::string ics;   // the text the server now holds
};
// ifMatch empty: only when no resource is there (If-None-Match: *); "*": whatever
// version is there.
PutResult PutEvent(DavClient& client, const QUrl& collection, const std::string& href,
                   const std::string& ics, const std::string& ifMatch);
int DeleteEvent(DavClient& client, const QUrl& collection, const std::string& href,
                const std::string& etag);

}  // namespace memro::sync
