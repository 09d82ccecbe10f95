#include "sync/next_token.h"

#include <map>

namespace memro::sync {

std::string NextToken(DavClient& client, const QUrl& collection, const std::string& token,
                      const SyncPlan& plan, const std::set<std::string>& undeleted) {
  if (token.empty() || (plan.uploads.empty() && plan.deletes.empty())) return token;
  std::optional<Changes> changes;
  try {
    changes = ChangesSince(client, collection, token);
  } catch (const DavError&) {  // the writes are done: the next sync lists everything
  }
  if (!changes) return {};
  std::map<std::string, std::string> ours;
  for (const SyncPair& p : plan.pairs) ours[p.href] = p.etag;
  for (const auto& [href, etag] : changes->etags) {
    const auto own = ours.find(href);
    if (own == ours.end() || own->second != etag) return {};
  }
  std::set<std::string> deleted;
  for (const ServerDelete& d : plan.deletes) {
    if (!undeleted.count(d.href)) deleted.insert(d.href);
  }
  for (const std::string& href : changes->removed) {
    if (!deleted.count(href)) return {};
  }
  return changes->token;
}

}  // namespace memro::sync
