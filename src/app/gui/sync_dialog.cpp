#include "app/gui/sync_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace memro {

SyncDialog::SyncDialog(const std::string& file, const SyncDialogValues& start, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Sync with Calendar"));
  auto* form = new QFormLayout(this);
  auto* about = new QLabel(tr("Keep %1 and a calendar on a CalDAV server the same. A server's "
                              "address is enough where it lists your calendars.")
                               .arg(QString::fromStdString(file)),
                           this);
  about->setWordWrap(true);
  form->addRow(about);
  server_ = AddField("server", tr("&Server:"), start.server);
  user_ = AddField("user", tr("&User:"), start.user);
  password_ = AddField("password", tr("&Password:"), start.password);
  password_->setEchoMode(QLineEdit::Password);
  calendar_ = AddField("calendar", tr("&Calendar:"), start.calendar);
  calendar_->setPlaceholderText(tr("the only one, or a new one named Memro"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("&Sync"));
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Nothing to sync with before a server is named.
  const auto named = [this, buttons] {
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!server_->text().trimmed().isEmpty());
  };
  connect(server_, &QLineEdit::textChanged, this, named);
  named();
}

QLineEdit* SyncDialog::AddField(const QString& name, const QString& caption,
                                const std::string& text) {
  auto* field = new QLineEdit(QString::fromStdString(text), this);
  field->setObjectName(name);
  auto* label = new QLabel(caption, this);
  label->setBuddy(field);
  field->setAccessibleName(QString(caption).remove('&').remove(':'));
  static_cast<QFormLayout*>(layout())->addRow(label, field);
  return field;
}

SyncDialogValues SyncDialog::Values() const {
  return {server_->text().trimmed().toStdString(), user_->text().trimmed().toStdString(),
          password_->text().toStdString(), calendar_->text().trimmed().toStdString()};
}

}  // namespace memro
