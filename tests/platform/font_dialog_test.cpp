#include "platform/qt/font_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>

#include "platform/qt/qt_platform.h"
#include "support/modal.h"

namespace memro {
namespace {

QString SomeFamily() {
  const QStringList families = QFontDatabase::families();
  return families.isEmpty() ? QApplication::font().family() : families.first();
}

TEST(InitialFont, TakesNameAndSizeAndFallsBackToTheApplicationFont) {
  FontRequest request{SomeFamily().toStdString(), 9.75, 7, 20};
  const QFont font = InitialFont(request);
  EXPECT_EQ(font.family(), SomeFamily());
  EXPECT_DOUBLE_EQ(font.pointSizeF(), 9.75);

  const QFont fallback = InitialFont(FontRequest{});
  EXPECT_EQ(fallback.family(), QApplication::font().family());
  EXPECT_DOUBLE_EQ(fallback.pointSizeF(), QApplication::font().pointSizeF());
}

TEST(LimitedFontDialog, RefusesSizesOutsideTheLimitsAndOffersTheNearest) {
  LimitedFontDialog dialog(FontRequest{SomeFamily().toStdString(), 10, 7, 20}, nullptr);
  dialog.show();
  QFont font = dialog.currentFont();
  font.setPointSizeF(25);
  dialog.setCurrentFont(font);
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_DOUBLE_EQ(dialog.currentFont().pointSizeF(), 20);

  font.setPointSizeF(5);
  dialog.setCurrentFont(font);
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_DOUBLE_EQ(dialog.currentFont().pointSizeF(), 7);

  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  const FontResult result = dialog.Result();
  EXPECT_EQ(result.outcome, FontResult::Outcome::kChosen);
  EXPECT_DOUBLE_EQ(result.size, 7);
}

TEST(QtPlatformFontDialog, GivesTheChosenFontOrCancelled) {
  QtPlatform platform;
  const FontRequest request{SomeFamily().toStdString(), 12, 7, 20};
  testing::WhenModal([](QWidget* shown) {
    auto* dialog = qobject_cast<QFontDialog*>(shown);
    QFont font = dialog->currentFont();
    font.setPointSizeF(14);
    dialog->setCurrentFont(font);
    dialog->accept();
  });
  const FontResult chosen = platform.FontDialog(request);
  EXPECT_EQ(chosen.outcome, FontResult::Outcome::kChosen);
  EXPECT_EQ(chosen.name, SomeFamily().toStdString());
  EXPECT_DOUBLE_EQ(chosen.size, 14);

  testing::WhenModal([](QWidget* shown) { qobject_cast<QDialog*>(shown)->reject(); });
  EXPECT_EQ(platform.FontDialog(request).outcome, FontResult::Outcome::kCancelled);
}

}  // namespace
}  // namespace memro
