#include "sync/event_upload.h"

#include "sync/field_merge.h"

namespace memro::sync {
namespace {

bool Weak(const std::string& etag) { return etag.starts_with("W/"); }

UploadResult Aside(const std::string& reason) { return {false, {}, {}, std::nullopt, reason}; }

std::string Refused(int status) {
  return "the server refused it (HTTP " + std::to_string(status) + ")";
}

UploadResult MergeAndPutOnce(DavClient& client, const QUrl& collection, const Upload& upload,
                             const EventRecord& record, const PlanInput& in) {
  const std::optional<RemoteResource> now = FetchEvent(client, collection, upload.href);
  if (!now) return Aside("it was deleted in the calendar meanwhile");
  const RemoteEvent server = ReadRemote(*now, upload.before.ics, in.defaults, in.today);
  if (!server.record)
    return Aside("its new version in the calendar cannot be held: " + server.reason);
  const FieldMerge merge =
      MergeFields(EventRecord::FromBytes(upload.before.record), record, *server.record);
  if (!merge.clashes.empty()) return Aside("it was changed in the calendar meanwhile");
  const std::string ics =
      PatchedEventText(now->ics, merge.merged, server.record->warnDays, in.writing);
  const bool strong = !now->etag.empty() && !Weak(now->etag);
  const PutResult put = PutEvent(client, collection, upload.href, ics, strong ? now->etag : "*");
  if (!put.Taken()) return Aside(Refused(put.status));
  UploadResult out{true, put.etag, put.ics, std::nullopt, {}};
  if (merge.merged != record) out.merged = merge.merged;
  return out;
}

}  // namespace

UploadResult SendUpload(DavClient& client, const QUrl& collection, const Upload& upload,
                        const EventRecord& record, const PlanInput& in) {
  const bool update = !upload.ifMatch.empty();
  if (update && Weak(upload.ifMatch)) {
    return MergeAndPutOnce(client, collection, upload, record, in);
  }
  const PutResult put = PutEvent(client, collection, upload.href, upload.ics, upload.ifMatch);
  if (put.Taken()) return {true, put.etag, put.ics, std::nullopt, {}};
  if (update && put.status == 412) return MergeAndPutOnce(client, collection, upload, record, in);
  return Aside(Refused(put.status));
}

}  // namespace memro::sync
