#include <gtest/gtest.h>

#include <functional>

#include "sync/sync_plan.h"

namespace memro::sync {
namespace {

constexpr const char* kCollection = "/cal/alice/memro/";

EventRecord Event(const std::string& date, const std::string& message, std::int16_t warn = 7) {
  EventRecord r;
  r.SetDate(date);
  r.SetMessage(message);
  r.warnDays = warn;
  r.frequency = kYearly;
  r.enabled = r.backdated = 1;
  return r;
}

const Writing kWriting{1796083200, 2026};  // 2026-12-01

std::string Href(std::size_t i) {
  return std::string(kCollection) + "e" + std::to_string(i) + ".ics";
}

// Three events both sides agree on, then each side changed by the case.
struct World {
  std::vector<EventRecord> base = {Event("Jan052027", "Anna's birthday"),
                                   Event("Feb102027", "Pay the rent", 3),
                                   Event("Mar152027", "Dentist")};
  PlanInput in;

  World() {
    in.collection = kCollection;
    in.hrefBase = kCollection;
    in.state.collection = kCollection;
    in.today = Date{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{1}};
    in.writing = kWriting;
    in.local = base;
    for (std::size_t i = 0; i < base.size(); ++i) {
      const std::string uid = "u" + std::to_string(i);
      const std::string ics = NewEventText(base[i], uid, kWriting);
      in.state.pairs.push_back({Href(i), "\"1\"", uid, base[i].ToBytes(), ics});
      in.remote.push_back({Href(i), "\"1\"", ics});
    }
  }
  // Another client's change of event i: Memro's fields of record, its own lines added.
  void ServerEdit(std::size_t i, const EventRecord& record, const std::string& extra = {}) {
    std::string ics = PatchedEventText(in.remote[i].ics, record, base[i].warnDays, kWriting);
    if (!extra.empty()) ics.insert(ics.find("END:VEVENT"), extra + "\r\n");
    in.remote[i] = {Href(i), "\"2\"", ics};
  }
  void ServerDelete(std::size_t i) { in.remote.erase(in.remote.begin() + i); }
};

struct Expected {
  std::size_t creates = 0, updates = 0, deletes = 0;
  int added = 0, changed = 0, deleted = 0;
  std::size_t conflicts = 0, foreign = 0;
  SyncPlan::Stop stop = SyncPlan::Stop::kNone;
  const char* uploadHas = "";  // a line every update carries
};

struct Case {
  const char* name;
  std::function<void(World&)> change;
  Expected expected;
};

// Test lists name each case instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Case kCases[] = {
    {"EditInMemroUpdatesItsOwnHref",
     [](World& w) { w.in.local[1].SetMessage("Pay the rent (new account)"); },
     {.updates = 1, .uploadHas = "SUMMARY:Pay the rent (new account)"}},
    {"DeletionInMemroClosesUpAndDeletesThatEventOnly",
     [](World& w) { w.in.local.erase(w.in.local.begin() + 1); },
     {.deletes = 1}},
    {"EditOfTheEventAfterADeletedOneStaysAnEdit",
     [](World& w) {
       w.in.local.erase(w.in.local.begin() + 1);
       w.in.local[1].SetMessage("Dentist at 9");
     },
     {.updates = 1, .deletes = 1, .uploadHas = "SUMMARY:Dentist at 9"}},
    {"NewEventInMemroIsCreated",
     [](World& w) { w.in.local.push_back(Event("Apr012027", "Taxes")); },
     {.creates = 1}},
    {"PhonesEditComesIn",
     [](World& w) { w.ServerEdit(2, Event("Mar152027", "Dentist, Dr Lee")); },
     {.changed = 1}},
    {"PhonesAlarmAndCategoryAloneChangeNothingHere",
     [](World& w) { w.ServerEdit(0, w.base[0], "CATEGORIES:Family"); },
     {}},
    {"MemrosEditKeepsThePhonesCategory",
     [](World& w) {
       w.ServerEdit(0, w.base[0], "CATEGORIES:Family");
       w.in.local[0].SetMessage("Anna's 40th birthday");
     },
     {.updates = 1, .uploadHas = "CATEGORIES:Family"}},
    {"FieldsChangedOnOneSideEachMerge",
     [](World& w) {
       w.in.local[1].warnDays = 10;
       w.ServerEdit(1, Event("Feb102027", "Pay the rent to Bob", 3));
     },
     {.updates = 1, .changed = 1, .uploadHas = "TRIGGER:-P10D"}},
    {"SameFieldChangedBothWaysKeepsBoth",
     [](World& w) {
       w.in.local[2].SetMessage("Dentist, bring card");
       w.ServerEdit(2, Event("Mar152027", "Dentist moved"));
     },
     {.creates = 1, .updates = 1, .added = 1, .conflicts = 1}},
    {"DeletedInMemroEditedOnThePhoneComesBack",
     [](World& w) {
       w.in.local.erase(w.in.local.begin());
       w.ServerEdit(0, Event("Jan062027", "Anna's birthday"));
     },
     {.added = 1}},
    {"EditedInMemroDeletedOnThePhoneGoesBackUp",
     [](World& w) {
       w.in.local[0].SetMessage("Anna's party");
       w.ServerDelete(0);
     },
     {.creates = 1}},
    {"DeletedOnThePhoneIsDeletedHere", [](World& w) { w.ServerDelete(2); }, {.deleted = 1}},
    {"LostStatePairsByUidBytesAndTextWithoutDuplicates",
     [](World& w) {
       w.in.state = {};
       w.in.firstSync = true;
       w.in.remote[0].ics = NewEventText(w.base[0], "other-uid", kWriting);
       w.in.local.push_back(Event("Apr012027", "Taxes"));
     },
     {.creates = 1}},
    {"AForeignSeriesIsListedAndLeftAlone",
     [](World& w) {
       w.in.remote.push_back({std::string(kCollection) + "f.ics", "\"9\"",
                              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//P//P//EN\r\n"
                              "BEGIN:VEVENT\r\nUID:f\r\nDTSTAMP:20261201T000000Z\r\n"
                              "DTSTART;VALUE=DATE:20261201\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\n"
                              "SUMMARY:Bins\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"});
     },
     {.foreign = 1}},
    {"EmptiedCalendarStopsToAsk",
     [](World& w) { w.in.remote.clear(); },
     {.deleted = 3, .stop = SyncPlan::Stop::kAsk}},
    {"TwoOfThreeDeletedInMemroGoOn", [](World& w) { w.in.local.resize(1); }, {.deletes = 2}},
    {"ChangedCalendarIsRefused",
     [](World& w) { w.in.collection = "/cal/alice/other/"; },
     {.stop = SyncPlan::Stop::kRefuse}},
    {"EmptyFileIsRefused", [](World& w) { w.in.local.clear(); }, {.stop = SyncPlan::Stop::kRefuse}},
};

class PlanTest : public ::testing::TestWithParam<Case> {};

TEST_P(PlanTest, PlansWhatEachSideChanged) {
  World w;
  GetParam().change(w);
  const SyncPlan plan = MakePlan(w.in);
  const Expected& e = GetParam().expected;
  std::size_t creates = 0;
  for (const Upload& u : plan.uploads) {
    creates += u.ifMatch.empty();
    if (!u.ifMatch.empty() && *e.uploadHas) {
      EXPECT_NE(u.ics.find(e.uploadHas), std::string::npos) << u.ics;
    }
    EXPECT_EQ(u.href.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-./"),
              std::string::npos);
  }
  EXPECT_EQ(plan.stop, e.stop) << plan.why;
  if (plan.stop == SyncPlan::Stop::kRefuse) return;
  EXPECT_EQ(creates, e.creates);
  EXPECT_EQ(plan.uploads.size() - creates, e.updates);
  EXPECT_EQ(plan.deletes.size(), e.deletes);
  EXPECT_EQ(plan.localAdded, e.added);
  EXPECT_EQ(plan.localChanged, e.changed);
  EXPECT_EQ(plan.localDeleted, e.deleted);
  EXPECT_EQ(plan.conflicts.size(), e.conflicts);
  EXPECT_EQ(plan.foreign.size(), e.foreign);
  EXPECT_EQ(plan.records.size(), plan.pairs.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, PlanTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace memro::sync
