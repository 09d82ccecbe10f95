#include "platform/qt/message_boxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QInputDialog>
#include <QLabel>

#include "platform/qt/qt_platform.h"
#include "support/modal.h"

namespace memro {
namespace {

TEST(BuildMessageBox, IconButtonsAndTitleFollowTheRequest) {
  struct Case {
    Icon icon;
    Buttons buttons;
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButtons qtButtons;
    QMessageBox::StandardButton escape;
  };
  const Case cases[] = {
      {Icon::kCritical, Buttons::kOk, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok},
      {Icon::kQuestion, Buttons::kYesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::No},
      {Icon::kExclamation, Buttons::kYesNoCancel, QMessageBox::Warning,
       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel},
      {Icon::kNone, Buttons::kOk, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok},
  };
  for (const Case& c : cases) {
    auto box = BuildMessageBox("Save changes?", c.icon, c.buttons, "Memro Editor", nullptr);
    EXPECT_EQ(box->icon(), c.qtIcon);
    EXPECT_EQ(box->standardButtons(), c.qtButtons);
    EXPECT_EQ(box->escapeButton(), box->button(c.escape));
    EXPECT_EQ(box->windowTitle(), "Memro Editor");
    EXPECT_EQ(box->text(), "Save changes?");
  }
}

TEST(BuildMessageBox, EmptyTitleIsTheProgramTitleAndTextIsNeverMarkup) {
  auto box = BuildMessageBox("<b>Dentist</b> & co", Icon::kNone, Buttons::kOk, "", nullptr);
  EXPECT_EQ(box->windowTitle(), "Memro 4.0");
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(AnswerFor, MapsButtonsAndAWindowClosedWithoutOne) {
  EXPECT_EQ(AnswerFor(QMessageBox::Yes, Buttons::kYesNo), Answer::kYes);
  EXPECT_EQ(AnswerFor(QMessageBox::No, Buttons::kYesNoCancel), Answer::kNo);
  EXPECT_EQ(AnswerFor(QMessageBox::Cancel, Buttons::kYesNoCancel), Answer::kCancel);
  EXPECT_EQ(AnswerFor(QMessageBox::Ok, Buttons::kOk), Answer::kOk);
  EXPECT_EQ(AnswerFor(-1, Buttons::kOk), Answer::kOk);
  EXPECT_EQ(AnswerFor(-1, Buttons::kYesNo), Answer::kNo);
  EXPECT_EQ(AnswerFor(-1, Buttons::kYesNoCancel), Answer::kCancel);
}

TEST(QtPlatformMessageBox, GivesTheButtonClickedAndEscapeAnswersNo) {
  QtPlatform platform;
  testing::WhenModal(
      [](QWidget* shown) { qobject_cast<QMessageBox*>(shown)->button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(platform.MessageBox("Confirm Clean Up", Icon::kQuestion, Buttons::kYesNo, ""),
            Answer::kYes);

  testing::WhenModal([](QWidget* shown) { qobject_cast<QDialog*>(shown)->reject(); });
  EXPECT_EQ(platform.MessageBox("Update now?", Icon::kQuestion, Buttons::kYesNo, ""), Answer::kNo);

  testing::WhenModal([](QWidget* shown) { qobject_cast<QDialog*>(shown)->reject(); });
  EXPECT_EQ(platform.MessageBox("Save changes?", Icon::kQuestion, Buttons::kYesNoCancel, ""),
            Answer::kCancel);
}

TEST(QtPlatformInputBox, KeepsTheLineBreakAndGivesEmptyTextOnCancel) {
  const std::string prompt =
      "Enter number of days from today to scan for:\nEnter zero or click on Cancel to disable "
      "scanning.";
  auto dialog = BuildInputBox(prompt, "Range", "30", nullptr);
  EXPECT_EQ(dialog->labelText().toStdString(), prompt);
  EXPECT_EQ(dialog->windowTitle(), "Range");
  EXPECT_EQ(dialog->textValue(), "30");
  EXPECT_EQ(BuildInputBox("Find", "", "", nullptr)->windowTitle(), "Memro 4.0");

  QtPlatform platform;
  testing::WhenModal([](QWidget* shown) {
    auto* input = qobject_cast<QInputDialog*>(shown);
    input->setTextValue("45");
    input->accept();
  });
  EXPECT_EQ(platform.InputBox(prompt, "Range", "30"), "45");

  testing::WhenModal([](QWidget* shown) { qobject_cast<QDialog*>(shown)->reject(); });
  EXPECT_EQ(platform.InputBox(prompt, "Range", "30"), "");
}

}  // namespace
}  // namespace memro
