#pragma once

#include <QDialog>

class QWidget;

namespace memro {

class Platform;

// The program's name, what it is for and the version it was built as.
//
// Child object names: "titleLabel", "descriptionLabel", "versionLabel", "okButton".
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

// Builds the box under the busy pointer, puts the pointer back and shows it modally.
void ShowAboutBox(Platform& platform, QWidget* parent);

}  // namespace memro
