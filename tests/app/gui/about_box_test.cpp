#include "app/gui/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include "support/fake_platform.h"

namespace memro {
namespace {

TEST(AboutBoxTest, ShowsTitleDescriptionAndVersion) {
  AboutBox box;
  EXPECT_EQ(box.findChild<QLabel*>("titleLabel")->text(), "Memro 4.0");
  EXPECT_FALSE(box.findChild<QLabel*>("descriptionLabel")->text().isEmpty());
  EXPECT_TRUE(box.findChild<QLabel*>("versionLabel")->text().contains(MEMRO_VERSION));
  EXPECT_TRUE(box.isModal());
}

TEST(AboutBoxTest, PointerIsNormalAgainWhileTheBoxIsOpen) {
  testing::TempDir dir;
  testing::FakePlatform platform(dir.path());
  int busyWhileOpen = -1;
  bool opened = false;
  // Runs inside exec()'s event loop, once the box is up.
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    opened = qobject_cast<AboutBox*>(box) != nullptr;
    busyWhileOpen = platform.busyDepth;
    if (box) box->close();
  });
  ShowAboutBox(platform, nullptr);
  EXPECT_TRUE(opened);
  EXPECT_EQ(busyWhileOpen, 0);
  EXPECT_EQ(platform.maxBusyDepth, 1);
  EXPECT_EQ(platform.busyDepth, 0);
}

}  // namespace
}  // namespace memro
