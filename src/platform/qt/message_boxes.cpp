#include "platform/qt/message_boxes.h"

#include <QInputDialog>

#include "data/fixed_texts.h"

namespace memro {
namespace {

QMessageBox::Icon QtIcon(Icon icon) {
  switch (icon) {
    case Icon::kCritical:
      return QMessageBox::Critical;
    case Icon::kQuestion:
      return QMessageBox::Question;
    case Icon::kExclamation:
      return QMessageBox::Warning;
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString BoxTitle(const std::string& title) {
  return QString::fromStdString(title.empty() ? Texts().productTitle : title);
}

std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                                             const std::string& title, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(BoxTitle(title));
  box->setText(QString::fromStdString(prompt));
  // Event messages are the user's own text: never read them as markup.
  box->setTextFormat(Qt::PlainText);
  box->setIcon(QtIcon(icon));
  switch (buttons) {
    case Buttons::kOk:
      box->setStandardButtons(QMessageBox::Ok);
      box->setDefaultButton(QMessageBox::Ok);
      box->setEscapeButton(QMessageBox::Ok);
      break;
    case Buttons::kYesNo:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box->setDefaultButton(QMessageBox::Yes);
      box->setEscapeButton(QMessageBox::No);
      break;
    case Buttons::kYesNoCancel:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box->setDefaultButton(QMessageBox::Yes);
      box->setEscapeButton(QMessageBox::Cancel);
      break;
  }
  return box;
}

Answer AnswerFor(int result, Buttons buttons) {
  switch (result) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      break;
  }
  switch (buttons) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
      return Answer::kNo;
    case Buttons::kYesNoCancel:
      break;
  }
  return Answer::kCancel;
}

std::unique_ptr<QInputDialog> BuildInputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText, QWidget* parent) {
  auto dialog = std::make_unique<QInputDialog>(parent);
  dialog->setWindowTitle(BoxTitle(title));
  dialog->setInputMode(QInputDialog::TextInput);
  dialog->setLabelText(QString::fromStdString(prompt));
  dialog->setTextValue(QString::fromStdString(defaultText));
  return dialog;
}

}  // namespace memro
