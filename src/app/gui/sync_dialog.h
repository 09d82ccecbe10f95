#pragma once

#include <QDialog>
#include <QLineEdit>
#include <string>

namespace memro {

// What the user gives to sync an event file with a calendar.
struct SyncDialogValues {
  std::string server;  // a server's address, or a calendar's own
  std::string user;
  std::string password;
  std::string calendar;  // empty: the only calendar there, or a new one named Memro
};

// Asks for the server, the user, the password and the calendar.
class SyncDialog : public QDialog {
  Q_OBJECT

 public:
  SyncDialog(const std::string& file, const SyncDialogValues& start, QWidget* parent);
  SyncDialogValues Values() const;

 private:
  QLineEdit* AddField(const QString& name, const QString& caption, const std::string& text);

  QLineEdit* server_;
  QLineEdit* user_;
  QLineEdit* password_;
  QLineEdit* calendar_;
};

}  // namespace memro
