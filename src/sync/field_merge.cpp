#include "sync/field_merge.h"

#include <cstdint>

namespace memro::sync {
namespace {

template <typename T>
struct Field {
  const char* name;
  T EventRecord::*member;
};

constexpr Field<std::string> kTexts[] = {{"date", &EventRecord::date},
                                         {"message", &EventRecord::message}};
constexpr Field<std::int16_t> kNumbers[] = {{"warning days", &EventRecord::warnDays},
                                            {"frequency", &EventRecord::frequency},
                                            {"enabled", &EventRecord::enabled},
                                            {"backdated", &EventRecord::backdated},
                                            {"clean-up", &EventRecord::cleanUp}};

template <typename T>
void Merge(const Field<T>& f, const EventRecord& base, const EventRecord& local,
           const EventRecord& server, FieldMerge& out) {
  const bool localChanged = local.*f.member != base.*f.member;
  const bool serverChanged = server.*f.member != base.*f.member;
  if (serverChanged && !localChanged) out.merged.*f.member = server.*f.member;
  if (serverChanged && localChanged && local.*f.member != server.*f.member) {
    out.clashes.push_back(f.name);
  }
}

}  // namespace

FieldMerge MergeFields(const EventRecord& base, const EventRecord& local,
                       const EventRecord& server) {
  FieldMerge out{local, {}};
  for (const auto& f : kTexts) Merge(f, base, local, server, out);
  for (const auto& f : kNumbers) Merge(f, base, local, server, out);
  return out;
}

}  // namespace memro::sync
