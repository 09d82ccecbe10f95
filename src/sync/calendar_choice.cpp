#include "sync/calendar_choice.h"

#include "sync/caldav.h"

namespace memro::sync {
namespace {

// Letters, digits and '-' only: no character that servers encode differently.
QString PathName(const QString& name) {
  QString out;
  for (const QChar c : name.toLower()) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      out += c;
    } else if (!out.endsWith('-')) {
      out += '-';
    }
  }
  return out.isEmpty() || out == "-" ? "memro" : out;
}

QUrl Made(DavClient& client, const Discovery& found, const QString& name, std::ostream& out) {
  const QUrl url = found.home.resolved(QUrl(PathName(name) + "/"));
  MakeCalendar(client, url, name);
  out << "made the calendar \"" << name.toStdString() << "\" at " << url.toString().toStdString()
      << "\n";
  return url;
}

}  // namespace

QUrl ChooseCalendar(DavClient& client, const QUrl& start, const QString& name, std::ostream& out) {
  const Discovery found = Discover(client, start);
  if (found.home.isEmpty()) return found.calendars.front().url;
  std::vector<CalendarEntry> withEvents;
  for (const CalendarEntry& c : found.calendars) {
    if (!name.isEmpty() && c.name == name) return c.url;
    if (c.events) withEvents.push_back(c);
  }
  if (!name.isEmpty()) return Made(client, found, name, out);
  if (withEvents.empty()) return Made(client, found, "Memro", out);
  if (withEvents.size() == 1) return withEvents.front().url;
  std::string list;
  for (const CalendarEntry& c : withEvents) {
    list += "\n  \"" + c.name.toStdString() + "\" " + c.url.toString().toStdString();
  }
  throw DavError("the server has several calendars; choose one with --calendar NAME:" + list);
}

}  // namespace memro::sync
