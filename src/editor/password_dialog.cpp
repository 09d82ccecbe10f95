#include "editor/password_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

#include "platform/platform.h"

namespace memro {
namespace {

// QLineEdit::setMaxLength counts UTF-16 units, which would halve the limit for characters
// outside the basic plane. This validator counts characters, and like maxLength it cuts an
// insertion that overflows instead of refusing it whole.
class CharacterLimit : public QValidator {
 public:
  CharacterLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

  State validate(QString& input, int& pos) const override {
    int excess = CharacterCount(input) - limit_;
    // The characters just before the cursor are the ones being inserted.
    while (excess > 0 && pos > 0) {
      int unitLength = 1;
      if (pos >= 2 && input[pos - 1].isLowSurrogate() && input[pos - 2].isHighSurrogate()) {
        unitLength = 2;
      }
      input.remove(pos - unitLength, unitLength);
      pos -= unitLength;
      --excess;
    }
    if (excess > 0) input = CutToCharacters(input, limit_);
    return Acceptable;
  }

 private:
  static QString CutToCharacters(const QString& text, int limit) {
    int units = 0;
    for (int chars = 0; chars < limit && units < text.size(); ++chars) {
      units += (text[units].isHighSurrogate() && units + 1 < text.size() &&
                text[units + 1].isLowSurrogate())
                   ? 2
                   : 1;
    }
    return text.left(units);
  }

  int limit_;
};

QLineEdit* PasswordField(QWidget* parent, const char* name, int limit) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setEchoMode(QLineEdit::Password);
  // The desktop style may echo a bullet; the dialog has always shown asterisks.
  field->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  field->setValidator(new CharacterLimit(limit, field));
  return field;
}

}  // namespace

int CharacterCount(QStringView text) {
  int count = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) continue;
    ++count;
  }
  return count;
}

PasswordDialog::PasswordDialog(Platform& platform, std::string& password, QWidget* parent)
    : QDialog(parent), platform_(platform), password_(password), removeMode_(!password.empty()) {
  setWindowTitle(tr("Protection"));
  setModal(true);

  // A stored password longer than the limit (an edited password file) must still be
  // removable, so the first field takes at least its length.
  const int enterLimit =
      std::max(kPasswordMaxChars, CharacterCount(QString::fromStdString(password_)));
  enter_ = PasswordField(this, "enterField", removeMode_ ? enterLimit : kPasswordMaxChars);
  retype_ = PasswordField(this, "retypeField", kPasswordMaxChars);
  auto* enterLabel = new QLabel(tr("&Enter Password:"), this);
  enterLabel->setObjectName("enterLabel");
  enterLabel->setBuddy(enter_);
  auto* retypeLabel = new QLabel(tr("&Retype Password:"), this);
  retypeLabel->setObjectName("retypeLabel");
  retypeLabel->setBuddy(retype_);
  retypeLabel->setEnabled(!removeMode_);
  retype_->setEnabled(!removeMode_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
  cancel->setObjectName("cancelButton");
  connect(ok, &QPushButton::clicked, this, [this] { Confirm(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* fields = new QGridLayout;
  fields->addWidget(enterLabel, 0, 0);
  fields->addWidget(enter_, 0, 1);
  fields->addWidget(retypeLabel, 1, 0);
  fields->addWidget(retype_, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);
  enter_->setFocus();
}

void PasswordDialog::Confirm() {
  const std::string entered = enter_->text().toStdString();
  if (!removeMode_ && enter_->text() != retype_->text()) {
    platform_.MessageBox("Entries do not match", Icon::kExclamation, Buttons::kOk, "");
    enter_->setFocus();
    return;
  }
  if (removeMode_ && entered != password_) {
    platform_.MessageBox("Wrong password.", Icon::kExclamation, Buttons::kOk, "");
    enter_->setFocus();
    return;
  }
  password_ = removeMode_ ? std::string() : entered;
  accept();
}

// Every way out (OK, Cancel, Esc, the window's close button) passes through here.
void PasswordDialog::done(int result) {
  if (!busyRaised_) {
    busyRaised_ = true;
    platform_.SetBusy(true);
  }
  QDialog::done(result);
}

}  // namespace memro
