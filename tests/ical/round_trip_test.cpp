// Export then import gives every event back byte for byte: in the library over many
// generated events, and through the tool over files of all three formats.
#include <gtest/gtest.h>

#include <random>

#include "cli/cli_fixture.h"
#include "data/env_guard.h"
#include "ical/calendar_export.h"
#include "ical/calendar_import.h"
#include "ical_test_support.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

// Every stored value the fields can hold, not only those the editor writes.
class EventGenerator {
 public:
  explicit EventGenerator(unsigned seed) : random_(seed) {}

  EventRecord Next() {
    EventRecord e;
    e.SetDate(Date());
    e.SetMessage(Message());
    e.warnDays = Pick<std::int16_t>({0, 1, 7, 30, 365, 32767, -1, -32768, Int16()});
    e.frequency = Pick<std::int16_t>({0, 1, 2, 3, 4, 0, 1, 2, 3, 4, 5, -1, Int16()});
    e.enabled = Pick<std::int16_t>({1, 1, 0, -1, 2});
    e.backdated = Pick<std::int16_t>({1, 0, 3});
    e.cleanUp = Pick<std::int16_t>({0, 1, -7});
    return e;
  }

 private:
  template <typename T>
  T Pick(std::initializer_list<T> values) {
    return *(values.begin() + Below(values.size()));
  }
  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }
  std::int16_t Int16() { return static_cast<std::int16_t>(Below(65536) - 32768); }
  char Byte() { return static_cast<char>(Below(256)); }

  std::string Date() {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::string month = kMonths[Below(12)];
    const std::string day = std::to_string(101 + Below(28)).substr(1);
    const std::string year = std::to_string(10000 + 1 + Below(9999)).substr(1);
    switch (Below(8)) {
      case 0:
        return "Feb29" + std::string(Pick<const char*>({"2026", "1900", "2100"}));
      case 1:
        return "dEC" + day + year;  // letter case
      case 2:
        return month + day;  // the current year
      case 3:
        return month + day.substr(1) + " " + year;  // one digit and a blank
      case 4: {
        std::string bytes;
        for (int i = 0; i < 9; ++i) bytes += Byte();
        return bytes;
      }
      default:
        return month + day + year;
    }
  }

  std::string Message() {
    std::string text;
    if (Below(4) == 0) text += "  ";  // blanks before the text
    const std::size_t length = Below(5) == 0 ? kMessageSize : Below(200);
    while (text.size() < length) {
      switch (Below(12)) {
        case 0:
          text += "\r\n";
          break;
        case 1:
          text += static_cast<char>(0x80 + Below(128));  // Windows-1252, undefined ones too
          break;
        case 2:
          text += Pick<char>({';', ',', '\\', '"', ':', '\t'});
          break;
        case 3:
          if (Below(8) == 0) text += Pick<char>({'\r', '\n', '\0', '\x01', '\x7F'});
          break;
        case 4:
          text += ' ';
          break;
        default:
          text += static_cast<char>('a' + Below(26));
      }
    }
    text.resize(std::min(text.size(), kMessageSize));
    return text;
  }

  std::mt19937 random_;
};

TEST(IcalRoundTrip, EveryStoredValueComesBackByteForByte) {
  EventGenerator generate(20261208);
  std::vector<EventRecord> events;
  for (int i = 0; i < 3000; ++i) events.push_back(generate.Next());
  events.push_back(events.front());  // a copy: its own UID, the same event back
  const std::string text = ical::ExportCalendar(events, {1796731200, 2026});
  const auto back = ical::ImportCalendar(text, RecordDefaults{kDaily, 0, 0, 99, 1});
  ASSERT_FALSE(back.error) << *back.error;
  EXPECT_EQ(back.skipped, 0);
  EXPECT_TRUE(back.notes.empty()) << ical::NoteLine(back.notes.front());
  ASSERT_EQ(back.events.size(), events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    ASSERT_EQ(back.events[i].ToBytes(), events[i].ToBytes()) << "event " << i;
  }
}

const std::vector<std::string> kCardEntry = {"Smith",          "John", "555-0100",   "Dec 08, 1960",
                                             "12 Main Street", "\xD8", "likes jazz", "\xD8"};

// Events of every frequency, flag and warning, with CR LF and Windows-1252 texts.
std::vector<EventRecord> EveryKindOfEvent() {
  std::vector<EventRecord> events;
  const std::int16_t warnDays[] = {0, 1, 7, 364};
  for (std::int16_t f = 0; f <= 4; ++f) {
    for (int flags = 0; flags < 8; ++flags) {
      events.push_back(Event("Mar1" + std::to_string(f) + "2027",
                             "Caf\xE9 \x80"
                             "5 \x93"
                             "quoted\x94\r\nline " +
                                 std::to_string(flags),
                             f, warnDays[flags % 4], flags & 1, (flags >> 1) & 1, flags >> 2));
    }
  }
  events.push_back(Event("Jan012027", "", kOnce));
  return events;
}

class IcalToolRoundTrip : public CliTest {
 protected:
  // Exports file, imports the calendar into a new file, and compares the dumps.
  void ExpectRoundTrip(const std::filesystem::path& file) {
    const auto ics = (dir / "out.ics").string();
    const auto copy = (dir / ("copy-" + file.filename().string())).string();
    ASSERT_EQ(Run({"export", file.string(), ics}), 0) << err.str();
    ASSERT_EQ(Run({"import", ics, copy}), 0) << err.str();
    ASSERT_EQ(Run({"dump", file.string()}), 0);
    const std::string original = out.str();
    ASSERT_EQ(Run({"dump", copy}), 0);
    EXPECT_EQ(out.str(), original);
    EXPECT_FALSE(original.empty());
  }
};

TEST_F(IcalToolRoundTrip, FilesOfAllThreeFormatsComeBackAsTheyWere) {
  WriteEventFile(dir / "current.mmo", EveryKindOfEvent());
  ExpectRoundTrip(dir / "current.mmo");
  EXPECT_EQ(ReadEvents(dir / "copy-current.mmo"), EveryKindOfEvent());  // byte for byte

  WriteFileBytes(dir / "old.mmo",
                 OldHeaderBytes() + OldRecordBytes("Dec081960", "John's\r\nbirthday", 5, 3, 1, 0) +
                     OldRecordBytes("Jan022027", "Dentist \xBD", 0, 4, 0, 1));
  ExpectRoundTrip(dir / "old.mmo");

  WriteFileBytes(dir / "cards.bnk", TextLines(kCardEntry) + TextLines(kCardEntry));
  ExpectRoundTrip(dir / "cards.bnk");
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(IcalToolRoundTrip, AnUnchangedFileExportsTheSameCalendar) {
  WriteEventFile(dir / "e.mmo", EveryKindOfEvent());
  const auto file = (dir / "e.mmo").string();
  const auto ics = (dir / "e.ics").string();
  const LocalZone zone("UTC");
  std::string first;
  {
    const EnvGuard stamp("SOURCE_DATE_EPOCH", "1796731200");
    ASSERT_EQ(Run({"export", file, ics}), 0);
    first = ReadFileBytes(ics);
    ASSERT_EQ(Run({"export", file, ics}), 0);  // replaces the calendar
    EXPECT_EQ(ReadFileBytes(ics), first);
    EXPECT_NE(first.find("DTSTAMP:20261208T120000Z\r\n"), std::string::npos);
  }
  // An hour later on the same day: the start of a future repeating event depends on the
  // day of the export, nothing but DTSTAMP on its hour.
  const EnvGuard stamp("SOURCE_DATE_EPOCH", "1796734800");
  ASSERT_EQ(Run({"export", file, ics}), 0);
  const std::string later = ReadFileBytes(ics);
  EXPECT_NE(later, first);
  auto withoutStamps = [](std::string text) {
    for (std::size_t at; (at = text.find("DTSTAMP:")) != std::string::npos;) {
      text.erase(at, text.find("\r\n", at) - at + 2);
    }
    return text;
  };
  EXPECT_EQ(withoutStamps(later), withoutStamps(first));
}

}  // namespace
}  // namespace memro::testing
