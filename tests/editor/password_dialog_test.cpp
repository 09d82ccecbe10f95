#include "editor/password_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/fake_platform.h"

namespace memro {
namespace {

class PasswordDialogTest : public ::testing::Test {
 protected:
  // Opens the dialog as the Options menu does, over a password of the given value.
  PasswordDialog& Open(const std::string& value) {
    password = value;
    dialog = std::make_unique<PasswordDialog>(platform, password);
    dialog->show();
    return *dialog;
  }
  QLineEdit* Enter() { return dialog->findChild<QLineEdit*>("enterField"); }
  QLineEdit* Retype() { return dialog->findChild<QLineEdit*>("retypeField"); }
  void ClickOk() { dialog->findChild<QPushButton*>("okButton")->click(); }
  void ClickCancel() { dialog->findChild<QPushButton*>("cancelButton")->click(); }
  std::vector<std::string> Prompts() const {
    std::vector<std::string> prompts;
    for (const auto& m : platform.messages) prompts.push_back(m.prompt);
    return prompts;
  }

  testing::TempDir dir;
  testing::FakePlatform platform{dir.path()};
  std::string password;
  std::unique_ptr<PasswordDialog> dialog;
};

TEST_F(PasswordDialogTest, SetModeAsksTwiceWithHiddenFields) {
  Open("");
  EXPECT_EQ(dialog->windowTitle(), "Protection");
  EXPECT_TRUE(dialog->isModal());
  EXPECT_FALSE(dialog->RemoveMode());
  auto* enterLabel = dialog->findChild<QLabel*>("enterLabel");
  auto* retypeLabel = dialog->findChild<QLabel*>("retypeLabel");
  EXPECT_EQ(enterLabel->text(), "&Enter Password:");
  EXPECT_EQ(retypeLabel->text(), "&Retype Password:");
  EXPECT_EQ(enterLabel->buddy(), Enter());
  EXPECT_EQ(retypeLabel->buddy(), Retype());
  EXPECT_TRUE(Retype()->isEnabled());
  EXPECT_TRUE(retypeLabel->isEnabled());
  for (QLineEdit* field : {Enter(), Retype()}) {
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    EXPECT_EQ(field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, field),
              '*');
  }
  EXPECT_EQ(dialog->findChild<QPushButton*>("okButton")->text(), "&OK");
  EXPECT_TRUE(dialog->findChild<QPushButton*>("okButton")->isDefault());
  EXPECT_EQ(dialog->findChild<QPushButton*>("cancelButton")->text(), "&Cancel");
}

TEST_F(PasswordDialogTest, BothFieldsEmptyLeavesTheProgramUnlocked) {
  Open("");
  ClickOk();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(password, "");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PasswordDialogTest, EntriesMustMatchExactly) {
  Open("");
  QTest::keyClicks(Enter(), "Secret");
  QTest::keyClicks(Retype(), "secret");
  ClickOk();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt, "Entries do not match");
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(platform.messages[0].buttons, Buttons::kOk);
  EXPECT_EQ(platform.messages[0].title, "");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(Enter()->text(), "Secret");  // both texts stay as typed
  EXPECT_EQ(Retype()->text(), "secret");
  EXPECT_EQ(password, "");
  EXPECT_EQ(platform.maxBusyDepth, 0);

  Retype()->clear();
  QTest::keyClicks(Retype(), "Secret");
  QTest::keyClick(Retype(), Qt::Key_Return);  // Enter presses OK
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(password, "Secret");
  EXPECT_EQ(platform.busyDepth, 1);
}

TEST_F(PasswordDialogTest, RemoveModeWantsTheSamePasswordAsOftenAsNeeded) {
  Open("Grüße");
  EXPECT_TRUE(dialog->RemoveMode());
  EXPECT_FALSE(Retype()->isEnabled());
  EXPECT_FALSE(dialog->findChild<QLabel*>("retypeLabel")->isEnabled());

  for (const char* attempt : {"GRÜSSE", "grüße", "Grüße "}) {
    Enter()->setText(QString::fromUtf8(attempt));
    ClickOk();
  }
  EXPECT_EQ(Prompts(), std::vector<std::string>(3, "Wrong password."));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(password, "Grüße");

  Enter()->setText(QString::fromUtf8("Grüße"));
  ClickOk();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(password, "");
  EXPECT_EQ(platform.messages.size(), 3u);
}

TEST_F(PasswordDialogTest, TwentyCharactersFitAndTheTwentyFirstIsCut) {
  Open("");
  QTest::keyClicks(Enter(), "abcdefghijklmnopqrstU");
  EXPECT_EQ(Enter()->text(), "abcdefghijklmnopqrst");
  // Characters outside the basic plane count once, and an insertion is cut, not refused.
  const QString clef = QString::fromUtf8("\U0001D11E");
  Retype()->insert(clef.repeated(25));
  EXPECT_EQ(Retype()->text(), clef.repeated(20));
  EXPECT_EQ(CharacterCount(Retype()->text()), 20);
  // Typed in the middle, the new character is the one that does not fit.
  Enter()->setCursorPosition(5);
  QTest::keyClicks(Enter(), "Z");
  EXPECT_EQ(Enter()->text(), "abcdefghijklmnopqrst");
}

TEST_F(PasswordDialogTest, LongerStoredPasswordCanStillBeRemoved) {
  const std::string stored(25, 'k');
  Open(stored);
  Enter()->insert(QString::fromStdString(stored));
  ClickOk();
  EXPECT_EQ(password, "");
}

TEST_F(PasswordDialogTest, EveryWayOutRaisesTheBusyPointerOnce) {
  // Cancel, Esc and the window's close button in either mode keep the password.
  const std::vector<std::pair<std::string, std::function<void()>>> exits{
      {"", [this] { ClickCancel(); }},
      {"Secret", [this] { ClickCancel(); }},
      {"Secret", [this] { QTest::keyClick(Enter(), Qt::Key_Escape); }},
      {"", [this] { dialog->close(); }},
  };
  for (const auto& [before, leave] : exits) {
    platform.busyDepth = platform.maxBusyDepth = 0;
    Open(before);
    Enter()->setText("Other");
    Retype()->setText("Other");
    leave();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(password, before);
    EXPECT_EQ(platform.busyDepth, 1);
  }

  platform.busyDepth = platform.maxBusyDepth = 0;
  Open("");
  ClickOk();
  dialog->reject();  // a second close of the same dialog raises nothing more
  EXPECT_EQ(platform.maxBusyDepth, 1);
}

}  // namespace
}  // namespace memro
