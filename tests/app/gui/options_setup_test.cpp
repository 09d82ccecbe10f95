#include <QLineEdit>
#include <QPushButton>

#include "main_window_fixture.h"
#include "support/modal.h"

namespace memro::testing {
namespace {

const FileDialogResult kCancel{FileDialogResult::Outcome::kCancelled, ""};

TEST_F(MainWindowTest, AutoLoadIsChosenKeptOrRemoved) {
  MainWindow& w = Started();
  platform.fileDialogs.push_back(kCancel);
  w.OptionsCommand(0);
  EXPECT_TRUE(platform.messages.empty());  // nothing set: nothing to remove

  platform.fileDialogs.push_back(Chosen(dir / "home.mmo"));
  w.OptionsCommand(0);
  EXPECT_EQ(platform.fileRequests.back().title, "AutoLoad");
  EXPECT_EQ(w.values().settings.autoLoad, (dir / "home.mmo").string());
  EXPECT_TRUE(w.widgets().miO[0]->isChecked());
  EXPECT_TRUE(w.values().pendingFile.empty());  // loaded only at the next start

  platform.fileDialogs.push_back(kCancel);
  platform.answers.push_back(Answer::kNo);
  w.widgets().miO[0]->trigger();
  EXPECT_EQ(platform.messages.back().prompt, "Remove current AutoLoad file?");
  EXPECT_TRUE(w.widgets().miO[0]->isChecked());
  EXPECT_FALSE(w.values().settings.autoLoad.empty());

  platform.fileDialogs.push_back(kCancel);
  platform.answers.push_back(Answer::kYes);
  w.widgets().miO[0]->trigger();
  EXPECT_FALSE(w.widgets().miO[0]->isChecked());
  EXPECT_TRUE(w.values().settings.autoLoad.empty());
}

TEST_F(MainWindowTest, FontKeepsAWholeSizeInTheSettings) {
  MainWindow& w = Started();
  const QString family = w.widgets().txt->font().family();
  platform.fontDialogs.push_back({FontResult::Outcome::kChosen, family.toStdString(), 10.5});
  w.OptionsCommand(1);
  EXPECT_EQ(platform.fontRequests.back().minSize, 7);
  EXPECT_EQ(platform.fontRequests.back().maxSize, 20);
  EXPECT_EQ(w.values().settings.fontSize, 10);
  EXPECT_DOUBLE_EQ(w.widgets().txt->font().pointSizeF(), 10.5);
  EXPECT_DOUBLE_EQ(w.widgets().lbl[3]->font().pointSizeF(), 12);  // the status keeps its size

  platform.fontDialogs.push_back({FontResult::Outcome::kFailed, "", 0});
  w.OptionsCommand(1);
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(platform.messages.back().icon, Icon::kExclamation);
  EXPECT_EQ(w.values().settings.fontSize, 10);
}

TEST_F(MainWindowTest, SoundFileNeedsAWaveOrMidiName) {
  MainWindow& w = Started();
  const std::string midi = (dir / "tune.Mid ").string();
  platform.fileDialogs.push_back(Chosen(midi));
  w.widgets().miSS[2]->trigger();
  EXPECT_EQ(platform.fileRequests.back().filter,
            "Sound Files (*.wav, *.mid)|*.wav *.mid|All Files (*.*)|*.*");
  EXPECT_EQ(w.values().settings.sound, 2);
  EXPECT_TRUE(w.widgets().miSS[2]->isChecked());
  EXPECT_FALSE(w.widgets().miSS[0]->isChecked());

  platform.fileDialogs.push_back(Chosen(dir / "song.mp3"));
  w.widgets().miSS[2]->trigger();
  EXPECT_TRUE(w.values().settings.soundFile.empty());
  EXPECT_EQ(w.values().settings.sound, 2);  // the mode stays until a sound is asked for
  w.SoundRequest();
  EXPECT_EQ(w.values().settings.sound, 0);
  EXPECT_TRUE(w.widgets().miSS[0]->isChecked());

  w.widgets().miSS[1]->trigger();
  w.SoundRequest();
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_FALSE(w.widgets().miSS[0]->isChecked());

  const auto wave = dir / "bell.wav";
  WriteFileBytes(wave, "RIFF");
  w.values().settings.soundFile = wave.string();
  w.SoundCommand(2);  // the dialog is cancelled: the mode stays
  w.values().settings.sound = 2;
  w.SoundRequest();
  EXPECT_EQ(platform.soundsPlayed, std::vector<std::filesystem::path>{wave});
}

TEST_F(MainWindowTest, FlagsFlipWithTheirCheckMarks) {
  MainWindow& w = Started();
  w.widgets().miO[6]->trigger();
  w.widgets().miO[8]->trigger();
  EXPECT_TRUE(w.values().settings.exitPopUp);
  EXPECT_TRUE(w.values().settings.onceDaily);
  w.widgets().miO[8]->trigger();
  EXPECT_FALSE(w.values().settings.onceDaily);
  EXPECT_FALSE(w.widgets().miO[8]->isChecked());

  w.widgets().miS[0]->trigger();
  w.widgets().miS[3]->trigger();
  w.widgets().miS[5]->trigger();
  EXPECT_TRUE(w.values().settings.idleMin);
  EXPECT_FALSE(w.values().settings.confirmCleanUp);
  EXPECT_TRUE(w.values().settings.saveOnExit);
}

TEST_F(MainWindowTest, ExitTimeOutReadsTheLeadingNumber) {
  MainWindow& w = Started();
  const std::vector<std::pair<std::string, int>> answers{{"30 seconds", 30}, {"soon", 0}, {"-5", 0},
                                                         {"2.5", 2},         {"3.5", 4},  {"", 0}};
  for (const auto& [answer, expected] : answers) {
    platform.inputs.push_back(answer);
    w.widgets().miS[1]->trigger();
    EXPECT_EQ(w.values().settings.timeOut, expected) << answer;
    EXPECT_EQ(w.widgets().miS[1]->isChecked(), expected > 0) << answer;
  }
  EXPECT_EQ(platform.inputTitles.back(), "Exit TimeOut");
  w.values().settings.timeOut = 9;
  platform.inputs.push_back("40000");
  w.widgets().miS[1]->trigger();
  EXPECT_EQ(platform.messages.back().prompt, "Invalid value for TimeOut");
  EXPECT_EQ(platform.messages.back().icon, Icon::kCritical);
  EXPECT_EQ(w.values().settings.timeOut, 9);
}

TEST_F(MainWindowTest, ProtectionLocksAndIsRefusedBesideTheViewer) {
  MainWindow& w = Started();
  WhenModal([](QWidget* dialog) {
    for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) field->setText("pw");
    dialog->findChild<QPushButton*>("okButton")->click();
  });
  w.OptionsCommand(4);
  EXPECT_EQ(w.values().password, "pw");
  EXPECT_TRUE(w.widgets().miO[4]->isChecked());
  EXPECT_FALSE(w.widgets().miF[0]->isEnabled());
  EXPECT_FALSE(w.widgets().mnS->menuAction()->isEnabled());
  EXPECT_EQ(platform.busyDepth, 0);

  w.ShowViewer();
  w.widgets().miO[4]->trigger();
  EXPECT_EQ(platform.messages.back().prompt,
            "Protection cannot be invoked when the Memro 4.0 Editor is opened. Please close the "
            "Memro 4.0 Editor first. Press F1 for help.");
  EXPECT_TRUE(w.widgets().miO[4]->isChecked());
}

}  // namespace
}  // namespace memro::testing
