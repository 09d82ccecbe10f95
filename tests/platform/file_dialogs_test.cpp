#include "platform/qt/file_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <fstream>

#include "platform/qt/qt_platform.h"
#include "support/modal.h"
#include "test_sounds.h"

namespace memro {
namespace {

using Outcome = FileDialogResult::Outcome;

TEST(ToQtFilter, TurnsBarSeparatedPairsIntoQtEntries) {
  EXPECT_EQ(ToQtFilter("Desc|*.a *.b|All Files (*.*)|*.*").toStdString(),
            "Desc (*.a *.b);;All Files (*)");
  EXPECT_EQ(ToQtFilter("Sound Files (*.wav, *.mid)|*.wav *.mid|All Files (*.*)|*.*").toStdString(),
            "Sound Files (*.wav *.mid);;All Files (*)");
  EXPECT_EQ(ToQtFilter("Memro Files (*.mmo)|*.mmo").toStdString(), "Memro Files (*.mmo)");
  // Blanks doubled between masks, a missing last pattern, and an empty filter.
  EXPECT_EQ(ToQtFilter("Text|*.txt  *.log").toStdString(), "Text (*.txt *.log)");
  EXPECT_EQ(ToQtFilter("Anything").toStdString(), "Anything (*)");
  EXPECT_EQ(ToQtFilter("").toStdString(), "");
}

TEST(ApplyDefaultExtension, AddsLowerCaseExtensionOnlyToNamesWithoutOne) {
  EXPECT_EQ(ApplyDefaultExtension("/home/u/report", "TXT"), "/home/u/report.txt");
  EXPECT_EQ(ApplyDefaultExtension("/home/u/report.TXT", "TXT"), "/home/u/report.TXT");
  EXPECT_EQ(ApplyDefaultExtension("/home/u/tune.mid", "WAV"), "/home/u/tune.mid");
  // A dot in a directory name does not count as the file's extension.
  EXPECT_EQ(ApplyDefaultExtension("/home/u.v/events", "MMO"), "/home/u.v/events.mmo");
  EXPECT_EQ(ApplyDefaultExtension("events", ""), "events");
  EXPECT_EQ(ApplyDefaultExtension("", "MMO"), "");
  EXPECT_EQ(ApplyDefaultExtension("/home/u/", "MMO"), "/home/u/");
}

class ChosenPath : public ::testing::Test {
 protected:
  ChosenPath() { std::ofstream(dir.path() / "there.mmo") << "x"; }
  testing::TempDir dir;
};

TEST_F(ChosenPath, OpenNeedsAnExistingFile) {
  FileDialogRequest open;
  open.fileMustExist = open.pathMustExist = true;
  const std::string there = (dir.path() / "there.mmo").string();
  EXPECT_EQ(CheckChosenPath(there, open).outcome, Outcome::kChosen);
  EXPECT_EQ(CheckChosenPath(there, open).path, there);
  EXPECT_EQ(CheckChosenPath((dir.path() / "gone.mmo").string(), open).outcome, Outcome::kFailed);
  EXPECT_EQ(CheckChosenPath(dir.path().string(), open).outcome, Outcome::kFailed);
}

TEST_F(ChosenPath, SaveNeedsOnlyTheDirectory) {
  FileDialogRequest save;
  save.pathMustExist = true;
  EXPECT_EQ(CheckChosenPath((dir.path() / "new.txt").string(), save).outcome, Outcome::kChosen);
  EXPECT_EQ(CheckChosenPath((dir.path() / "no" / "new.txt").string(), save).outcome,
            Outcome::kFailed);
  save.pathMustExist = false;
  EXPECT_EQ(CheckChosenPath((dir.path() / "no" / "new.txt").string(), save).outcome,
            Outcome::kChosen);
  EXPECT_EQ(CheckChosenPath("", save).outcome, Outcome::kFailed);
}

TEST_F(ChosenPath, BuiltDialogsCarryTheRequest) {
  FileDialogRequest request;
  request.title = "Set Sound File";
  request.initialName = (dir.path() / "there.mmo").string();
  request.filter = "Sound Files (*.wav, *.mid)|*.wav *.mid|All Files (*.*)|*.*";
  request.defaultExtension = "WAV";
  request.fileMustExist = true;

  auto open = BuildFileDialog(request, FileDialogMode::kOpen, nullptr);
  EXPECT_EQ(open->windowTitle(), "Set Sound File");
  EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(open->nameFilters(), QStringList({"Sound Files (*.wav *.mid)", "All Files (*)"}));
  EXPECT_EQ(open->defaultSuffix(), "");  // the open dialog settles the extension itself
  EXPECT_EQ(open->directory().absolutePath().toStdString(), dir.path().string());

  request.fileMustExist = false;
  request.confirmOverwrite = true;
  auto save = BuildFileDialog(request, FileDialogMode::kSave, nullptr);
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(save->fileMode(), QFileDialog::AnyFile);
  EXPECT_EQ(save->defaultSuffix(), "wav");
  EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
  request.confirmOverwrite = false;
  EXPECT_TRUE(BuildFileDialog(request, FileDialogMode::kSave, nullptr)
                  ->testOption(QFileDialog::DontConfirmOverwrite));
}

// The whole road through the platform, answered the way a user would.
class FileDialogRun : public ChosenPath {
 protected:
  FileDialogRun() {
    request.title = "Print to File";
    request.initialName = (dir.path() / "REPORT.TXT").string();
    request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    request.defaultExtension = "TXT";
    request.pathMustExist = true;
  }
  static void Type(const std::string& path) {
    testing::WhenModal([path](QWidget* shown) {
      auto* dialog = qobject_cast<QFileDialog*>(shown);
      ASSERT_NE(dialog, nullptr);
      // Typed into the name box, as a user does.
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(path));
      // A dialog that refuses the name shows a box of its own: answer it and give up.
      QTimer::singleShot(0, dialog, [dialog] {
        if (QWidget* box = QApplication::activeModalWidget(); box && box != dialog) box->close();
        dialog->reject();
      });
      QMetaObject::invokeMethod(dialog, "accept");
    });
  }
  QtPlatform platform;
  FileDialogRequest request;
};

TEST_F(FileDialogRun, SaveGivesTheTypedNameWithTheDefaultExtension) {
  Type((dir.path() / "week").string());
  const FileDialogResult result = platform.SaveFileDialog(request);
  EXPECT_EQ(result.outcome, Outcome::kChosen);
  EXPECT_EQ(result.path, (dir.path() / "week.txt").string());
}

TEST_F(FileDialogRun, CancelIsToldApartFromAMissingDirectory) {
  testing::WhenModal([](QWidget* dialog) { dialog->close(); });
  EXPECT_EQ(platform.SaveFileDialog(request).outcome, Outcome::kCancelled);

  Type((dir.path() / "missing" / "week.txt").string());
  EXPECT_EQ(platform.SaveFileDialog(request).outcome, Outcome::kFailed);
}

TEST_F(FileDialogRun, OpenGivesAnExistingFile) {
  request.fileMustExist = true;
  Type((dir.path() / "there.mmo").string());
  const FileDialogResult result = platform.OpenFileDialog(request);
  EXPECT_EQ(result.outcome, Outcome::kChosen);
  EXPECT_EQ(result.path, (dir.path() / "there.mmo").string());
}

// The name as chosen wins: the default extension is for a name that does not exist.
TEST_F(FileDialogRun, OpenAddsTheDefaultExtensionOnlyToANameThatDoesNotExist) {
  request.title = "Load";
  request.filter = "Memro Files (*.mmo)|*.mmo|All Files (*.*)|*.*";
  request.defaultExtension = "MMO";
  request.fileMustExist = request.hideReadOnly = true;
  const std::string plain = (dir.path() / "events").string();
  std::ofstream(plain) << "x";
  Type(plain);
  FileDialogResult result = platform.OpenFileDialog(request);
  EXPECT_EQ(result.outcome, Outcome::kChosen);
  EXPECT_EQ(result.path, plain);

  std::ofstream(plain + ".mmo") << "x";
  Type(plain);
  result = platform.OpenFileDialog(request);
  EXPECT_EQ(result.outcome, Outcome::kChosen);
  EXPECT_EQ(result.path, plain);

  std::filesystem::remove(plain);
  Type(plain);
  result = platform.OpenFileDialog(request);
  EXPECT_EQ(result.outcome, Outcome::kChosen);
  EXPECT_EQ(result.path, plain + ".mmo");
}

}  // namespace
}  // namespace memro
