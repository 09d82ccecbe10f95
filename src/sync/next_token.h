#pragma once

#include <QUrl>
#include <set>
#include <string>

#include "sync/caldav.h"
#include "sync/sync_plan.h"

namespace memro::sync {

// The sync token to keep after the sync wrote to the calendar. The listing's token is
// older than those writes, and a server need not report, since it, a resource that was
// made after it and deleted again. So the changes since it are asked for: when they are
// all this sync's own writes, the newer token is kept, else none, and the next sync lists
// everything.
std::string NextToken(DavClient& client, const QUrl& collection, const std::string& token,
                      const SyncPlan& plan, const std::set<std::string>& undeleted);

}  // namespace memro::sync
