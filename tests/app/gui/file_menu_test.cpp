#include <fstream>
#include <sstream>

#include "main_window_fixture.h"

namespace memro::testing {
namespace {

std::string Slurp(const std::filesystem::path& file) { return ReadFileBytes(file); }

TEST_F(MainWindowTest, LoadFromTheDialogShowsTheDueEntries) {
  MainWindow& w = Started();
  const auto file = DueFile();
  platform.fileDialogs.push_back(Chosen(file));
  w.FileCommand(0);
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].title, "Load");
  EXPECT_EQ(platform.fileRequests[0].defaultExtension, "MMO");
  EXPECT_EQ(platform.fileRequests[0].filter, "Memro Files (*.mmo)|*.mmo|All Files (*.*)|*.*");
  EXPECT_TRUE(platform.fileRequests[0].fileMustExist);

  EXPECT_EQ(w.values().dueCount, 3);
  EXPECT_EQ(w.widgets().lst->count(), 3);
  EXPECT_EQ(w.windowTitle(), "events.mmo [Memro 4.0]");
  EXPECT_TRUE(w.blinkTimer().isActive());
  EXPECT_EQ(w.widgets().lbl[3]->text(), "Today!! [12/8/2026]");
  EXPECT_EQ(w.widgets().txt->toPlainText(), "Dentist 10:30");
  EXPECT_EQ(w.values().editTarget, "2");  // record 1 is the header
  EXPECT_TRUE(w.widgets().miF[1]->isEnabled());
  EXPECT_TRUE(w.widgets().cmd[2]->isEnabled());
  EXPECT_TRUE(w.widgets().miF[7]->isVisible());
  EXPECT_EQ(w.widgets().miF[7]->text().toStdString(), "&1 " + file.string());

  // Cancel changes nothing; a file that cannot be loaded keeps the old one current.
  w.FileCommand(0);
  EXPECT_EQ(w.values().pendingFile, file.string());
  platform.fileDialogs.push_back(Chosen(dir / "missing.mmo"));
  w.FileCommand(0);
  EXPECT_EQ(w.values().pendingFile, file.string());
  EXPECT_EQ(w.windowTitle(), "Memro 4.0");
  EXPECT_EQ(platform.messages.back().icon, Icon::kCritical);
}

TEST_F(MainWindowTest, RecentFilesKeepOneEntryPerFileAndLoadAgain) {
  MainWindow& w = Started();
  std::vector<std::filesystem::path> files;
  for (const char* name : {"a.mmo", "b.mmo", "c.mmo", "d.mmo", "e.mmo"}) {
    files.push_back(DueFile(name));
    platform.fileDialogs.push_back(Chosen(files.back()));
    w.FileCommand(0);
  }
  const RecentFiles& recent = w.values().settings.mainRecent;
  EXPECT_EQ(recent[0], files[4].string());
  EXPECT_EQ(recent[3], files[1].string());  // a.mmo dropped out
  w.FileCommand(9);                         // "&3 c.mmo"
  EXPECT_EQ(w.values().pendingFile, files[2].string());
  EXPECT_EQ(recent[0], files[2].string());
  EXPECT_EQ(recent[1], files[4].string());
  EXPECT_EQ(recent[2], files[3].string());
}

TEST_F(MainWindowTest, RangeRescansAndIsSwitchedOffByALoad) {
  MainWindow& w = Started();
  w.values().rangeDays = "10";
  platform.inputs.push_back("0");
  w.FileCommand(4);  // nothing loaded yet: only forgets the range
  EXPECT_TRUE(w.values().rangeDays.empty());
  EXPECT_TRUE(platform.messages.empty());

  const auto file = dir / "range.mmo";
  WriteEventFile(file, {Event("Jan102027", "Insurance", kOnce, 2)});
  platform.fileDialogs.push_back(Chosen(file));
  w.FileCommand(0);
  EXPECT_EQ(w.values().dueCount, 0);

  platform.inputs.push_back(" 45 ");
  w.FileCommand(4);
  EXPECT_EQ(platform.inputPrompts.back(),
            "Enter number of days from today to scan for:\nEnter zero or click on Cancel to "
            "disable scanning.");
  EXPECT_EQ(w.values().rangeDays, "45");
  EXPECT_EQ(w.values().dueCount, 1);
  EXPECT_EQ(w.widgets().lbl[3]->text(), "33 days more! [1/10/2027]");

  // A reload after the changed-file question keeps the range; a load asked for ends it.
  w.values().pendingFile = "+" + w.values().pendingFile;
  w.FileCommand(0);
  EXPECT_EQ(w.values().rangeDays, "45");
  platform.inputs.push_back("");  // Cancel
  w.FileCommand(4);
  EXPECT_TRUE(w.values().rangeDays.empty());
  EXPECT_EQ(w.values().dueCount, 0);
}

// The window's report is the one memro-cli writes for the same file and day.
TEST_F(MainWindowTest, PrintToFileWritesTheWorkedReports) {
  for (const char* name : {"01", "05", "06", "13"}) {
    SCOPED_TRACE(name);
    const std::filesystem::path vectors = MEMRO_VECTORS_DIR;
    std::ifstream cmd(vectors / (std::string(name) + ".cmd"));
    std::string word, today, range, cleanUp;
    while (cmd >> word) {
      if (word == "--today") cmd >> today;
      if (word == "--range") cmd >> range;
      if (word == "--clean-up") cmd >> cleanUp;
    }
    platform.today = std::chrono::year_month_day{
        std::chrono::year{std::stoi(today.substr(0, 4))},
        std::chrono::month{static_cast<unsigned>(std::stoi(today.substr(5, 2)))},
        std::chrono::day{static_cast<unsigned>(std::stoi(today.substr(8, 2)))}};
    const std::string fileName = name == std::string("13") ? "ev.mm~" : "ev.mmo";
    const auto file = dir / fileName;
    WriteFileBytes(file, Slurp(vectors / (std::string(name) + ".mmo")));
    Set("Setup", "CleanUp", cleanUp == "delete" ? "0" : "-1");

    MainWindow& w = Started();
    w.values().rangeDays = range;
    w.values().pendingFile = "+" + file.string();
    w.FileCommand(0);
    const int selected = w.widgets().lst->currentRow();

    platform.fileDialogs.push_back(Chosen(dir / "REPORT.TXT"));
    w.FileCommand(1);
    EXPECT_EQ(platform.fileRequests.back().initialName, "REPORT.TXT");
    EXPECT_TRUE(platform.fileRequests.back().confirmOverwrite);
    EXPECT_EQ(Slurp(dir / "REPORT.TXT"), Slurp(vectors / (std::string(name) + ".report.txt")));
    EXPECT_EQ(Slurp(file), Slurp(vectors / (std::string(name) + ".after.mmo")));
    EXPECT_EQ(w.widgets().lst->currentRow(), selected);
    EXPECT_EQ(w.windowTitle().toStdString(), fileName + " [Memro 4.0]");
    EXPECT_EQ(platform.busyDepth, 0);
    window.reset();
  }
}

TEST_F(MainWindowTest, PrintWithNothingDueWritesTheHeaderOnly) {
  MainWindow& w = Started();
  const auto file = dir / "quiet.mmo";
  WriteEventFile(file, {Event("Jun012026", "Summer", kYearly)});
  platform.fileDialogs.push_back(Chosen(file));
  w.FileCommand(0);
  platform.fileDialogs.push_back(Chosen(dir / "r.txt"));
  w.FileCommand(1);
  EXPECT_EQ(Slurp(dir / "r.txt"),
            TextLines({"Memro 4.0", "Due events report, generated by Memro 4.0", "",
                       "Date: Tue, Dec 08, 2026", "", std::string(60, '-')}));
}

// A report never replaces events: not the loaded file (by its name in any spelling, a
// symbolic link or a hard link to it) and not the file open in the editor.
TEST_F(MainWindowTest, PrintToFileRefusesEveryNameOfAnEventFile) {
  const auto file = DueFile();
  const auto edited = DueFile("edited.mmo");
  MainWindow& w = Started(edited.string());
  w.FileCommand(2);  // the editor opens edited.mmo
  ASSERT_NE(w.editor(), nullptr);
  platform.fileDialogs.push_back(Chosen(file));
  w.FileCommand(0);
  ASSERT_EQ(w.values().pendingFile, file.string());
  std::filesystem::create_symlink(file, dir / "link.txt");
  std::filesystem::create_hard_link(file, dir / "hard.txt");
  const std::string events = Slurp(file);
  const std::string editedEvents = Slurp(edited);
  const std::string cards =
      TextLines({"Smith", "John", "555-0100", "Dec 08, 1960", "\xD8", "\xD8"});
  WriteFileBytes(dir / "cards.txt", cards);  // an event file of no window's

  for (const auto& target : {file, dir / "." / "events.mmo", dir / "link.txt", dir / "hard.txt",
                             edited, dir / "cards.txt"}) {
    SCOPED_TRACE(target.string());
    platform.messages.clear();
    platform.fileDialogs.push_back(Chosen(target));
    w.FileCommand(1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, "The report would replace the events in " +
                                               target.string() +
                                               ". Please choose another name for the report.");
    EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
    EXPECT_EQ(Slurp(file), events);
    EXPECT_EQ(Slurp(edited), editedEvents);
  }
  EXPECT_EQ(Slurp(dir / "cards.txt"), cards);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
  EXPECT_EQ(w.windowTitle(), "events.mmo [Memro 4.0]");
}

}  // namespace
}  // namespace memro::testing
