// The File menu's "Import iCalendar..." and "Export iCalendar...".
#include "editor_fixture.h"
#include "ical/calendar_import.h"

namespace memro::testing {
namespace {

const std::string kCalendar =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n"
    "BEGIN:VEVENT\r\nUID:a\r\nSUMMARY:Choir\r\nDTSTART:20260106T193000\r\n"
    "RRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Bins\r\nDTSTART;VALUE=DATE:20260109\r\n"
    "RRULE:FREQ=WEEKLY;INTERVAL=2\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:c\r\nSUMMARY:Anna\r\nDTSTART;VALUE=DATE:19850322\r\n"
    "RRULE:FREQ=YEARLY\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

class EditorCalendarTest : public EditorTest {
 protected:
  void Menu(const QString& caption) {
    for (QAction* action : ui().mnF->actions()) {
      if (action->text() == caption) return action->trigger();
    }
    FAIL() << "no File menu entry " << caption.toStdString();
  }
  void Import(const std::filesystem::path& ics) {
    platform.fileDialogs = {Chosen(ics)};
    Menu("&Import iCalendar...");
  }
  void Export(const std::filesystem::path& ics) {
    platform.fileDialogs = {Chosen(ics)};
    Menu("&Export iCalendar...");
  }
};

TEST_F(EditorCalendarTest, ImportAppendsTheEventsAsUnsavedChanges) {
  WithEvents(2);
  const std::string before = ReadFileBytes(dir / "events.mmo");
  WriteFileBytes(dir / "cal.ics", kCalendar);
  Import(dir / "cal.ics");
  const FileDialogRequest& request = platform.fileRequests.at(0);
  EXPECT_EQ(request.title, "Import iCalendar");
  EXPECT_EQ(request.filter, "iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*");
  EXPECT_TRUE(request.fileMustExist);
  EXPECT_EQ(editor->state().recCount, 4);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(Caption(), "Current Record: 3 of 4");
  EXPECT_EQ(Date(), "Jan 06, 2026");
  EXPECT_EQ(Message(), "19:30 Choir");
  EXPECT_EQ(ui().cmb->currentIndex(), kWeekly);
  EXPECT_EQ(Stored(4).date, "Mar221985");
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_EQ(Shown(),
            std::vector<std::string>{(dir / "cal.ics").string() +
                                     ": imported 2 events, skipped 1.\n"
                                     "skipped \"Bins\": it repeats every 2 weeks (INTERVAL=2)"});
  EXPECT_EQ(ReadFileBytes(dir / "events.mmo"), before);  // until Save

  editor->FileCommand(2);
  const auto saved = ReadEvents(dir / "events.mmo");
  ASSERT_EQ(saved.size(), 4u);
  EXPECT_EQ(saved[2], Stored(3));
  EXPECT_FALSE(editor->state().fileChanged);
}

TEST_F(EditorCalendarTest, ImportStoresTheShownRecordFirst) {
  WithEvents(1);
  editor->RecordsCommand(0);
  Type("Feb 2 2027", "typed before the import");
  WriteFileBytes(dir / "cal.ics", kCalendar);
  Import(dir / "cal.ics");
  EXPECT_EQ(editor->state().recCount, 4);
  EXPECT_EQ(Stored(2).date, "Feb022027");
  EXPECT_EQ(Stored(3).date, "Jan062026");

  // An untitled editor takes the events in too and asks a name when they are saved.
  platform.answers = {Answer::kNo};  // to "Save changes?" of the records before
  editor->FileCommand(0);
  Shown();
  Import(dir / "cal.ics");
  EXPECT_EQ(editor->state().recCount, 2);
  EXPECT_EQ(Caption(), "Current Record: 1 of 2");
  platform.fileDialogs = {Chosen(dir / "new.mmo")};
  editor->FileCommand(2);
  EXPECT_EQ(platform.fileRequests.back().title, "Save As");
  EXPECT_EQ(ReadEvents(dir / "new.mmo").size(), 2u);
}

TEST_F(EditorCalendarTest, ACancelledOrBadImportChangesNothing) {
  WithEvents(2);
  platform.fileDialogs = {Cancelled()};
  Menu("&Import iCalendar...");
  EXPECT_EQ(editor->state().recCount, 2);
  EXPECT_TRUE(Shown().empty());

  WriteFileBytes(dir / "bad.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:cut");
  Import(dir / "bad.ics");
  EXPECT_EQ(Shown(),
            std::vector<std::string>{(dir / "bad.ics").string() +
                                     " is cut short: it does not end with END:VCALENDAR."});
  EXPECT_EQ(editor->state().recCount, 2);
  EXPECT_FALSE(editor->state().fileChanged);
  Import(dir / "missing.ics");
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(editor->state().recCount, 2);
}

TEST_F(EditorCalendarTest, ExportWritesTheRecordsAsTheyStand) {
  WithEvents(2);
  const std::string before = ReadFileBytes(dir / "events.mmo");
  Type("Jan 1 2027", "changed, not saved");
  Export(dir / "out.ics");
  const FileDialogRequest& request = platform.fileRequests.at(0);
  EXPECT_EQ(request.title, "Export iCalendar");
  EXPECT_EQ(request.initialName, (dir / "events.ics").string());
  EXPECT_TRUE(request.confirmOverwrite);
  EXPECT_TRUE(Shown().empty());
  const auto back = ical::ImportCalendar(ReadFileBytes(dir / "out.ics"), {});
  ASSERT_EQ(back.events.size(), 2u);
  EXPECT_EQ(back.events[0], Stored(1));
  EXPECT_EQ(back.events[1], Stored(2));
  EXPECT_EQ(Message(), "changed, not saved");
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_EQ(ReadFileBytes(dir / "events.mmo"), before);

  Export(dir / "events.mmo");
  EXPECT_EQ(Shown(), std::vector<std::string>{(dir / "events.mmo").string() +
                                              " is the event file itself; choose another name "
                                              "for the calendar."});
  EXPECT_EQ(ReadFileBytes(dir / "events.mmo"), before);

  // The main window's file, even without events, and any other file of events.
  WriteEventFile(dir / "main.mmo", {});
  host.currentFile = '+';  // appended: GCC 12 -O3 falsely reports -Wrestrict for "+" + …
  host.currentFile += (dir / "main.mmo").string();
  WriteEventFile(dir / "other.ics", {MakeEvent("Feb142027", "other")});
  for (const auto& target : {dir / "main.mmo", dir / "other.ics"}) {
    const std::string events = ReadFileBytes(target);
    Export(target);
    EXPECT_EQ(Shown(), std::vector<std::string>{"The calendar would replace the events in " +
                                                target.string() +
                                                ". Please choose another name for the calendar."});
    EXPECT_EQ(ReadFileBytes(target), events);
  }
}

}  // namespace
}  // namespace memro::testing
