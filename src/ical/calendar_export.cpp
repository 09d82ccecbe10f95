#include "ical/calendar_export.h"

#include <string_view>

#include "data/calendar.h"
#include "data/codepage.h"
#include "data/text_util.h"
#include "engine/date_text.h"
#include "ical/event_export.h"
#include "ical/event_texts.h"
#include "ical/event_uid.h"
#include "ical/export_start.h"
#include "ical/ical_handles.h"
#include "ical/ical_names.h"

namespace memro::ical {
namespace {

// libical writes no date after this year (it writes a null time instead).
constexpr int kLastYear = 3000;

constexpr icalrecurrencetype_frequency kRules[] = {ICAL_YEARLY_RECURRENCE, ICAL_MONTHLY_RECURRENCE,
                                                   ICAL_WEEKLY_RECURRENCE, ICAL_DAILY_RECURRENCE};

icaltimetype AllDay(const Date& date) {
  icaltimetype t = icaltime_null_date();
  t.year = static_cast<int>(date.year());
  t.month = static_cast<int>(static_cast<unsigned>(date.month()));
  t.day = static_cast<int>(static_cast<unsigned>(date.day()));
  return t;
}

// Text when libical carries it unchanged, else the bytes in hex.
void AddExact(icalcomponent* event, const char* textName, const char* bytesName,
              std::string_view bytes) {
  const std::string text = Cp1252ToUtf8(bytes);
  if (SurvivesAsX(text)) {
    AddX(event, textName, text);
  } else {
    AddX(event, bytesName, HexBytes(bytes));
  }
}

// DTSTART, DTEND and RRULE where the stored date is a date; the stored text itself
// where DTSTART would not give it back, and the code where no rule says it.
void AddDateAndFrequency(icalcomponent* event, const EventRecord& e, int currentYear,
                         const Date& exportDay) {
  auto date = StoredDate(e.date, currentYear);
  if (date && static_cast<int>(date->year()) > kLastYear) date.reset();
  const Date start = date ? ExportedStart(*date, e.frequency, exportDay) : Date{};
  if (date) {
    icalcomponent_add_property(event, icalproperty_new_dtstart(AllDay(start)));
    // One whole day: readers differ on an all-day event without an end, and some
    // servers refuse one.
    const Date end{std::chrono::sys_days{start} + std::chrono::days{1}};
    icalcomponent_add_property(event, icalproperty_new_dtend(AllDay(end)));
  }
  if (!date || FormatStored(*date) != e.date || start != *date) {
    AddExact(event, kDate, kDateBytes, TrimTrailingBlanksView(e.date));
  }
  if (date && e.frequency >= kYearly && e.frequency < kOnce) {
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = kRules[e.frequency];
    icalcomponent_add_property(event, icalproperty_new_rrule(rule));
  } else if (!date || e.frequency != kOnce) {
    AddX(event, kFrequency, std::to_string(e.frequency));
  }
}

void AddMessage(icalcomponent* event, std::string_view message, const std::string& summary) {
  icalcomponent_add_property(event, icalproperty_new_summary(summary.c_str()));
  const std::string description = DescriptionText(message);
  if (!description.empty()) {
    icalcomponent_add_property(event, icalproperty_new_description(description.c_str()));
  }
  if (StoredText(description).bytes != message || !SurvivesAsDescription(description)) {
    AddX(event, kMessageBytes, HexBytes(message));
  }
}

void AddAlarm(icalcomponent* event, std::int16_t warnDays, const std::string& summary) {
  if (warnDays < 0) {
    AddX(event, kWarnDays, std::to_string(warnDays));
    return;
  }
  icalcomponent* alarm = icalcomponent_new_valarm();
  icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
  icaltriggertype trigger{};
  trigger.time = icaltime_null_time();
  trigger.duration = icaldurationtype_null_duration();
  trigger.duration.is_neg = 1;
  trigger.duration.days = static_cast<unsigned>(warnDays);
  icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
  // A display alarm must say what it shows.
  const std::string text = summary.empty() ? "Reminder" : summary;
  icalcomponent_add_property(alarm, icalproperty_new_description(text.c_str()));
  icalcomponent_add_component(event, alarm);
}

}  // namespace

icalcomponent* EventComponent(const EventRecord& e, const std::string& uid,
                              const icaltimetype& stamp, int currentYear, const Date& exportDay) {
  icalcomponent* event = icalcomponent_new_vevent();
  icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
  icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
  AddDateAndFrequency(event, e, currentYear, exportDay);
  const std::string_view message = TrimTrailingBlanksView(e.message);
  const std::string summary = SummaryText(message);
  AddMessage(event, message, summary);
  if (e.enabled == 0) {
    icalcomponent_add_property(event, icalproperty_new_status(ICAL_STATUS_CANCELLED));
  }
  AddX(event, kEnabled, std::to_string(e.enabled));
  AddX(event, kBackdated, std::to_string(e.backdated));
  AddX(event, kCleanUp, std::to_string(e.cleanUp));
  AddAlarm(event, e.warnDays, summary);
  return event;
}

std::string ExportCalendar(const std::vector<EventRecord>& events, const ExportOptions& options) {
  const Component calendar(icalcomponent_new_vcalendar());
  icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
  icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
  const icaltimetype stamp = icaltime_from_timet_with_zone(static_cast<time_t>(options.stamp), 0,
                                                           icaltimezone_get_utc_timezone());
  const std::vector<std::string> uids = EventUids(events);
  const Date exportDay = LocalDayOf(options.stamp);
  for (std::size_t i = 0; i < events.size(); ++i) {
    icalcomponent_add_component(
        calendar.get(), EventComponent(events[i], uids[i], stamp, options.currentYear, exportDay));
  }
  return Owned(icalcomponent_as_ical_string_r(calendar.get()));
}

}  // namespace memro::ical
