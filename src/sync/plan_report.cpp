#include "sync/plan_report.h"

#include "data/codepage.h"
#include "data/text_util.h"
#include "ical/event_texts.h"

namespace memro::sync {
namespace {

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : ", ") + w;
  return out;
}

std::string Events(std::size_t n) { return std::to_string(n) + (n == 1 ? " event" : " events"); }

}  // namespace

std::string SummaryOf(const EventRecord& record) {
  return Cp1252ToUtf8(ical::SummaryText(TrimTrailingBlanksView(record.message)));
}

void ReportPlan(const SyncPlan& plan, const std::string& file, bool dryRun, std::ostream& out) {
  for (const Foreign& f : plan.foreign) {
    out << "left alone in the calendar: \"" << f.summary << "\": " << f.reason << "\n";
  }
  for (const Conflict& c : plan.conflicts) {
    out << "\"" << c.summary << "\" was changed on both sides (" << Joined(c.fields)
        << "): " << file << " keeps its own, and the calendar's version as a new event marked "
        << kConflictMark << "\n";
  }
  if (plan.stop != SyncPlan::Stop::kNone) return;
  std::size_t created = 0;
  for (const Upload& u : plan.uploads) created += u.ifMatch.empty();
  if (plan.uploads.empty() && plan.deletes.empty() && !plan.FileChanges()) {
    out << file << " and the calendar are in sync\n";
    return;
  }
  const char* verbs[] = {"sent ", "deleted ", "took in ", "deleted "};
  const char* wouldVerbs[] = {"would send ", "delete ", "would take in ", "delete "};
  const char* const* v = dryRun ? wouldVerbs : verbs;
  out << v[0] << Events(plan.uploads.size()) << " (" << created << " new) and " << v[1]
      << Events(plan.deletes.size()) << " in the calendar; " << v[2] << plan.localAdded << " new, "
      << plan.localChanged << " changed and " << v[3] << plan.localDeleted << " in " << file
      << "\n";
}

std::string StopMessage(const SyncPlan& plan, const std::string& file) {
  if (plan.stop == SyncPlan::Stop::kAsk) {
    return "the sync of " + file + " stopped before changing anything: " + plan.why +
           ". Check the calendar and the file; if those events are really to go, run the sync "
           "again with --allow-deletes.";
  }
  return "the sync of " + file + " was refused: " + plan.why +
         ". Nothing was changed; check the file and the setup (memro-cli sync FILE --setup URL).";
}

}  // namespace memro::sync
