#pragma once

#include <optional>
#include <string>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro::sync {

// One calendar object resource as the server lists it.
struct RemoteResource {
  std::string href;
  std::string etag;
  std::string ics;
};

// A resource read as an event of the event file, or why Memro cannot hold it.
struct RemoteEvent {
  RemoteResource resource;
  std::string uid;
  std::string summary;
  std::optional<EventRecord> record;  // none: it stays on the server untouched
  std::string reason;                 // why it is none
  bool memro = false;                 // it carries Memro's own X-MEMRO- properties
};

// baseIcs: the server's text of it at the last sync, or empty. Where another client
// changed a property that one of Memro's X-MEMRO- properties repeats (the start, the
// texts, the status), that X-MEMRO- property is stale and the client's value is taken.
RemoteEvent ReadRemote(const RemoteResource& resource, const std::string& baseIcs,
                       const RecordDefaults& defaults, const Date& today);

}  // namespace memro::sync
