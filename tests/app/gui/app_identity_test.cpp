#include "app/gui/app_identity.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include "main_window_fixture.h"

namespace memro::testing {
namespace {

TEST_F(MainWindowTest, EveryWindowShowsTheProgramsIconAndNamesItsDesktopEntry) {
  SetApplicationIdentity();
  EXPECT_EQ(QGuiApplication::desktopFileName(), "org.memro.Memro");
  const QIcon icon = QApplication::windowIcon();
  // Every size a desktop asks for is drawn, none scaled up from a smaller one.
  for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size)) << size;
  }
  MainWindow& w = Started();
  w.ShowViewer();
  for (QWidget* shown : {static_cast<QWidget*>(&w), static_cast<QWidget*>(w.viewer())}) {
    EXPECT_EQ(shown->windowIcon().cacheKey(), icon.cacheKey());
  }
}

}  // namespace
}  // namespace memro::testing
