#pragma once

#include <QUrl>
#include <optional>
#include <string>

#include "data/event_record.h"
#include "sync/caldav.h"
#include "sync/sync_plan.h"

namespace memro::sync {

struct UploadResult {
  bool taken = false;
  std::string etag;  // the server's, when taken
  std::string ics;
  // The record with the server's change of meanwhile merged in, when it differs from the
  // one planned.
  std::optional<EventRecord> merged;
  std::string reason;  // why it was put aside
};

// PUTs one event of the plan. When the server changed it since the listing (412), it is
// fetched again, merged field by field with Memro's, and PUT once more; a second 412, or
// a field both changed, puts it aside for the next sync's three-way merge. A weak ETag
// never goes into If-Match (it never matches strongly, and would 412 for ever): such an
// event is fetched, merged and PUT once right away.
UploadResult SendUpload(DavClient& client, const QUrl& collection, const Upload& upload,
                        const EventRecord& record, const PlanInput& in);

}  // namespace memro::sync
