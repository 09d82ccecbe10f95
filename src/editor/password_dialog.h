#pragma once

#include <QDialog>
#include <QString>
#include <QStringView>
#include <string>

class QLabel;
class QLineEdit;

namespace memro {

class Platform;

constexpr int kPasswordMaxChars = 20;

// Characters as the user sees them typed: code points, so a character outside the basic
// plane counts once although QString holds it in two units.
int CharacterCount(QStringView text);

// Sets the lock's password when none is set, and removes it when one is set after the
// user typed it again. On OK and on Cancel the busy pointer is raised once; the caller
// applies or lifts the lock and lowers the pointer.
//
// Child object names: "enterLabel", "enterField", "retypeLabel", "retypeField",
// "okButton", "cancelButton".
class PasswordDialog : public QDialog {
  Q_OBJECT

 public:
  // password is UTF-8 and receives the new value when the dialog is accepted.
  PasswordDialog(Platform& platform, std::string& password, QWidget* parent = nullptr);

  bool RemoveMode() const { return removeMode_; }

  void done(int result) override;

 private:
  void Confirm();

  Platform& platform_;
  std::string& password_;
  bool removeMode_;
  bool busyRaised_ = false;
  QLineEdit* enter_ = nullptr;
  QLineEdit* retype_ = nullptr;
};

}  // namespace memro
