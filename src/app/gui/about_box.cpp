#include "app/gui/about_box.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "data/fixed_texts.h"
#include "platform/platform.h"

namespace memro {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  const QString title = QString::fromStdString(Texts().productTitle);
  setWindowTitle(tr("About %1").arg(title));
  setModal(true);

  auto* titleLabel = new QLabel(title, this);
  titleLabel->setObjectName("titleLabel");
  QFont big = titleLabel->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  titleLabel->setFont(big);

  auto* description =
      new QLabel(tr("Reminds you of birthdays, appointments and other dated events."), this);
  description->setObjectName("descriptionLabel");
  auto* version = new QLabel(tr("Version %1").arg(QStringLiteral(MEMRO_VERSION)), this);
  version->setObjectName("versionLabel");

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titleLabel, 0, Qt::AlignHCenter);
  layout->addWidget(description, 0, Qt::AlignHCenter);
  layout->addWidget(version, 0, Qt::AlignHCenter);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowAboutBox(Platform& platform, QWidget* parent) {
  std::unique_ptr<AboutBox> box;
  {
    BusyPointer busy(platform);
    box = std::make_unique<AboutBox>(parent);
  }
  box->exec();
}

}  // namespace memro
